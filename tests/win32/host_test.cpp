// The Windows host on the system it runs on (Wine's NT personality in CI):
// what the core relies on when no driver is installed, the clock and thread
// priority, the Run-key autorun store.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/hw/hw_driver.h"
#include "host/executable_path.h"
#include "host/win32/registry_autorun.h"
#include "host/win32/win32_machine.h"

namespace vc::win32 {
namespace {

TEST(Win32PlatformTest, WithoutADriverNothingOpensAndThePortsFloat) {
    Win32Platform platform;
    const OsVersion version = platform.GetOsVersion();
    EXPECT_EQ(version.platformId, kPlatformNt);
    EXPECT_GE(version.majorVersion, 4u);
    EXPECT_EQ(platform.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared), kNoDevice);
    EXPECT_EQ(platform.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic), kNoDevice);
    // On the NT family the port instructions would fault: reads float high.
    EXPECT_EQ(platform.InPort32(0xCFC), 0xFFFFFFFFu);
    EXPECT_EQ(platform.InPort8(0x0700), 0xFF);
    platform.OutPort32(0xCF8, 0x80000000u);
    EXPECT_TRUE(platform.ResolveBiosWindow(0x000F0000u).empty());  // never handed out
}

TEST(Win32ClockTest, CounterAdvancesAndTimeCriticalIsAppliedAndUndone) {
    Win32Clock clock;
    uint64_t frequency = 0, first = 0, second = 0;
    ASSERT_TRUE(clock.QueryPerformanceFrequency(frequency));
    EXPECT_GT(frequency, 1000u);
    ASSERT_TRUE(clock.QueryPerformanceCounter(first));
    const uint32_t tick = clock.TickCountMs();
    Sleep(20);
    ASSERT_TRUE(clock.QueryPerformanceCounter(second));
    EXPECT_GE(second - first, frequency / 100);  // at least 10 ms of it
    EXPECT_GE(clock.TickCountMs() - tick, 10u);

    const DWORD normalClass = GetPriorityClass(GetCurrentProcess());
    clock.SetThreadPriority(kThreadPriorityTimeCritical);
    EXPECT_EQ(clock.GetThreadPriority(), kThreadPriorityTimeCritical);
    EXPECT_EQ(::GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    clock.SetThreadPriority(0);
    EXPECT_EQ(::GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), normalClass);
}

TEST(RegistryAutorunTest, SetReplaceAndRemoveAValue) {
    RegistryAutorun store("Software\\VelocoreIII-test\\Run");
    store.RemoveAutorunEntry("VelocoreIII");
    EXPECT_FALSE(store.AutorunEntry("VelocoreIII").has_value());
    store.SetAutorunEntry("VelocoreIII", "C:\\Program Files\\v\\velocore.exe");
    EXPECT_EQ(store.AutorunEntry("VelocoreIII"), "C:\\Program Files\\v\\velocore.exe");
    store.SetAutorunEntry("VelocoreIII", "D:\\velocore.exe");
    EXPECT_EQ(store.AutorunEntry("VelocoreIII"), "D:\\velocore.exe");
    EXPECT_TRUE(store.RemoveAutorunEntry("VelocoreIII"));
    EXPECT_FALSE(store.AutorunEntry("VelocoreIII").has_value());
    EXPECT_TRUE(store.RemoveAutorunEntry("VelocoreIII"));  // nothing left to remove
}

// Sets `value` under `root`\`path` directly, as an earlier start would have.
void SetRunValue(HKEY root, const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "VelocoreIII", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// The machine's key where it can be written; where it cannot (an ordinary
// user on NT: here a root no key can be made under), the user's.
TEST(RegistryAutorunTest, MachineKeyFirstElseTheUsersKey) {
    const std::string path = "Software\\VelocoreIII-test\\Run";
    const std::string program = "C:\\v\\velocore.exe";
    const HKEY unusable = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x0BAD0000));
    RegistryAutorun both(path);
    RegistryAutorun userOnly(path, unusable, HKEY_CURRENT_USER);
    both.RemoveAutorunEntry("VelocoreIII");

    both.SetAutorunEntry("VelocoreIII", program);
    EXPECT_EQ(both.AutorunEntryUnder(HKEY_LOCAL_MACHINE, "VelocoreIII"), program);
    EXPECT_FALSE(both.AutorunEntryUnder(HKEY_CURRENT_USER, "VelocoreIII").has_value());
    EXPECT_TRUE(both.RemoveAutorunEntry("VelocoreIII"));

    userOnly.SetAutorunEntry("VelocoreIII", program);
    EXPECT_EQ(userOnly.AutorunEntryUnder(HKEY_CURRENT_USER, "VelocoreIII"), program);
    EXPECT_EQ(userOnly.AutorunEntry("VelocoreIII"), program);

    // The value that start left in the user's key goes once the machine's
    // key holds the same program; another program's path stays.
    both.SetAutorunEntry("VelocoreIII", program);
    EXPECT_EQ(both.AutorunEntryUnder(HKEY_LOCAL_MACHINE, "VelocoreIII"), program);
    EXPECT_FALSE(both.AutorunEntryUnder(HKEY_CURRENT_USER, "VelocoreIII").has_value());
    SetRunValue(HKEY_CURRENT_USER, path, "D:\\other\\velocore.exe");
    both.SetAutorunEntry("VelocoreIII", program);
    EXPECT_EQ(both.AutorunEntryUnder(HKEY_CURRENT_USER, "VelocoreIII"), "D:\\other\\velocore.exe");
    EXPECT_TRUE(both.RemoveAutorunEntry("VelocoreIII"));
    EXPECT_FALSE(both.AutorunEntry("VelocoreIII").has_value());
}

TEST(ExecutablePathTest, NamesThisProgram) {
    const std::string path = host::ExecutablePath();
    ASSERT_GT(path.size(), 2u);
    EXPECT_EQ(path[1], ':');  // a drive-letter path
    EXPECT_NE(path.find("test_win32.exe"), std::string::npos) << path;
}

}  // namespace
}  // namespace vc::win32
