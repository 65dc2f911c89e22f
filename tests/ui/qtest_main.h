// The main of a Qt Test program: seals the environment off first (see
// sealed_environment.h), gives the program settings of its own (Qt's test
// mode keeps one folder for every run of the user, so programs run side by
// side would share what they remember), then runs the test object.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "fixtures/sealed_environment.h"

#define KORVEXA_QTEST_MAIN(TestObject)       \
  int main(int argc, char** argv) {          \
    korvexa::testing::SealTestEnvironment(); \
    QApplication app(argc, argv);            \
    const QTemporaryDir settings;            \
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path()); \
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());    \
    TestObject test;                         \
    return QTest::qExec(&test, argc, argv);  \
  }
