#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>

// A suite of the window-less core of the toolkit: one QCoreApplication for the whole test program,
// created by the first suite that needs it.
class CoreApplicationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "ui_core_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
    }
};
