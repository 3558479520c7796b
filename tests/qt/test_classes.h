// The test classes of the desktop shell, one factory per source file.
#pragma once

#include <array>

class QObject;

namespace vc::qt::test {

QObject* MakeWindowTests();
QObject* MakeCommandTests();
QObject* MakeMessageTests();
QObject* MakeProgramTests();
QObject* MakeTrayTests();
QObject* MakePanelTests();

inline constexpr std::array kTestClasses{&MakeWindowTests, &MakeCommandTests, &MakeMessageTests,
                                         &MakeProgramTests, &MakeTrayTests,
                                         &MakePanelTests};

}  // namespace vc::qt::test
