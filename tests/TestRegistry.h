// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several test classes in one program: each file registers its class and
// the program's main runs them all, one after the other.
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& TestRegistry()
{
    static std::vector<TestFactory> s_tests;
    return s_tests;
}

#define DRAVIK_REGISTER_TEST(Cls)                                                                  \
    static const bool s_bRegistered##Cls =                                                         \
        (TestRegistry().push_back([] { return std::unique_ptr<QObject>(new Cls); }), true);
