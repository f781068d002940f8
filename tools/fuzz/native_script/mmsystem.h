// The shared sources include this system header; native/windows.h has
// what they use of it.
#pragma once
#include <windows.h>
