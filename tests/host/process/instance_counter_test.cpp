#include "host/process/instance_counter.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace vc::host {
namespace {

// Each InstanceCounter opens its own files, so two of them in one process
// behave towards each other like two running copies.
class InstanceCounterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vc-counter-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::unique_ptr<InstanceCounter> NewCopy() {
        return std::make_unique<InstanceCounter>(dir_.string(), "copies");
    }
    std::filesystem::path dir_;
};

TEST_F(InstanceCounterTest, FirstCopyCountsZeroAndLaterCopiesAreRefused) {
    auto first = NewCopy();
    EXPECT_EQ(first->Increment(), 0);
    auto second = NewCopy();
    EXPECT_EQ(second->Increment(), 1);  // refused: 1 or more
    auto third = NewCopy();
    EXPECT_EQ(third->Increment(), 2);   // the refused copy did not decrement
}

TEST_F(InstanceCounterTest, NormalEndDecrementsSoTheNextCopyRuns) {
    auto first = NewCopy();
    ASSERT_EQ(first->Increment(), 0);
    EXPECT_EQ(first->Decrement(), -1);
    first.reset();
    EXPECT_EQ(NewCopy()->Increment(), 0);
}

TEST_F(InstanceCounterTest, CopiesThatEndedWithoutDecrementingDoNotLockOutLaterStarts) {
    auto first = NewCopy();
    ASSERT_EQ(first->Increment(), 0);
    auto refused = NewCopy();
    ASSERT_EQ(refused->Increment(), 1);
    // Both end without a decrement: the running one crashed, the refused
    // one never decrements.
    first.reset();
    refused.reset();
    EXPECT_EQ(NewCopy()->Increment(), 0);
}

TEST_F(InstanceCounterTest, ACrashedProcessReleasesItsShare) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceCounter counter(dir_.string(), "copies");
        ::_exit(counter.Increment() == 0 ? 0 : 1);  // dies without decrementing
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(NewCopy()->Increment(), 0);
}

TEST_F(InstanceCounterTest, ARunningCopyInAnotherProcessRefusesThisOne) {
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceCounter counter(dir_.string(), "copies");
        const char answer = counter.Increment() == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        char byte;
        (void)!::read(release[0], &byte, 1);
        counter.Decrement();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    EXPECT_EQ(NewCopy()->Increment(), 1);
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(NewCopy()->Increment(), 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

TEST_F(InstanceCounterTest, UnusableDirectoryStillLetsTheProgramRun) {
    InstanceCounter counter((dir_ / "missing" / "deeper").string(), "copies");
    EXPECT_EQ(counter.Increment(), 0);
    EXPECT_EQ(counter.Decrement(), -1);
}

}  // namespace
}  // namespace vc::host
