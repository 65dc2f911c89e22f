// The main of a Qt Test program: seals the environment off first (see
// sealed_environment.h), then runs the test object.
#pragma once

#include <QApplication>
#include <QTest>

#include "fixtures/sealed_environment.h"

#define KORVEXA_QTEST_MAIN(TestObject)       \
  int main(int argc, char** argv) {          \
    korvexa::testing::SealTestEnvironment(); \
    QApplication app(argc, argv);            \
    TestObject test;                         \
    return QTest::qExec(&test, argc, argv);  \
  }
