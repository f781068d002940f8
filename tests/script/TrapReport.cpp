// For the checked script tests, which compile part of the script model
// with undefined arithmetic trapping: a trap is an illegal instruction that
// nothing handles. This filter names it and the test it happened in, and
// ends the program with a failure at once instead of leaving it to a
// debugger.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

LONG WINAPI ReportTrap(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "%s at %p in %s.%s\n",
               record.ExceptionCode == EXCEPTION_ILLEGAL_INSTRUCTION
                   ? "undefined arithmetic trapped (signed overflow, shift or float conversion)"
                   : "unhandled exception",
               record.ExceptionAddress, test ? test->test_suite_name() : "?",
               test ? test->name() : "?");
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER kPrevious = ::SetUnhandledExceptionFilter(&ReportTrap);

}  // namespace
