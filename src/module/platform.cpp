// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "platform.h"

#include "platform_p.h"

#include <utility>

namespace Platform {
namespace {

Services *testServices = nullptr;

std::function<void()> &beepFunction()
{
    static std::function<void()> function;
    return function;
}

} // namespace

Services &services()
{
    return testServices ? *testServices : Internal::systemServices();
}

void setServicesForTesting(Services *services)
{
    testServices = services;
}

void setBeepFunction(std::function<void()> beep)
{
    beepFunction() = std::move(beep);
}

void Internal::soundBeep()
{
    // Without a widget layer (tools, tests) there is nothing to sound the beep with.
    if (const auto &beep = beepFunction())
        beep();
}

} // namespace Platform
