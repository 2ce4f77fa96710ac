#pragma once
// The tests script the headless platform: answers and files are queued
// before the code under test asks for them.
#include "core/headless_platform.h"

namespace kinvalo::test {

using ScriptedPlatform = HeadlessPlatform;

}  // namespace kinvalo::test
