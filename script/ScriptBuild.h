// The two builds of the script code. script_builder compiles these sources
// with LW_SCRIPT_EDITING=1: commands can also be written, described (objects
// also labelled) and have an options record. script_runtime (the saver
// runtime) compiles them with 0: commands are only read, prepared and
// played. The difference lives in the operation macros below, in the
// sources only script_builder compiles (its own list in
// script/CMakeLists.txt) and in the per-build policy (ScriptPolicy.h).
#pragma once

#ifndef LW_SCRIPT_EDITING
#error "LW_SCRIPT_EDITING must be 0 or 1 (set by the script_builder and script_runtime targets)"
#endif

#if LW_SCRIPT_EDITING
#define LW_SCRIPT_WRITE_OP CArchive& Write(CArchive& ar) const override;
#define LW_SCRIPT_DESCRIBE_OP void Describe(CString& out) const override;
#define LW_SCRIPT_LABEL_OP void GetListLabel(CString& out, bool shortForm) const override;
#else
#define LW_SCRIPT_WRITE_OP
#define LW_SCRIPT_DESCRIBE_OP
#define LW_SCRIPT_LABEL_OP
#endif
