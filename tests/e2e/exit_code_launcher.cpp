// Runs a Windows program and writes its whole exit code, as decimal text, to
// the file named by the environment variable E2E_EXIT_CODE_FILE.
//
//   exit_code_launcher PROGRAM [ARGUMENTS...]
//
// An emulator that runs Windows programs from a POSIX host can hand on only
// the low 8 bits of an exit code, while pluvo's codes go up to 322. The
// program gets the launcher's own command line without its first word, byte
// for byte, so that its arguments are split exactly as they would be when it
// is started directly; it inherits the standard handles and the working
// directory. When E2E_STDIN_FILE names a file, the program reads it as its
// standard input through a handle opened here, as "program < file" in a
// Windows console opens it (a handle an emulator makes of a descriptor of
// its host can lack the file's identity). The launcher's own exit code is 0
// when the code was reported.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// Where the first word of a command line ends: a quoted first word runs to
// the next quote, an unquoted one to the first blank or tab (the rule for
// the program name, which differs from that of the other arguments).
const wchar_t* skip_first_word(const wchar_t* line) {
  if (*line == L'"') {
    ++line;
    while (*line != L'\0' && *line != L'"') ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

int fail(const char* what) {
  std::fprintf(stderr, "exit_code_launcher: %s (error %lu)\n", what, GetLastError());
  return 125;
}

}  // namespace

int main() {
  wchar_t report_name[32768];
  DWORD length = GetEnvironmentVariableW(L"E2E_EXIT_CODE_FILE", report_name, 32768);
  if (length == 0 || length >= 32768) return fail("E2E_EXIT_CODE_FILE is not set");

  const wchar_t* rest = skip_first_word(GetCommandLineW());
  if (*rest == L'\0') return fail("no program to run");
  // CreateProcessW may write into the command line.
  std::vector<wchar_t> command(rest, rest + std::wcslen(rest) + 1);

  HANDLE standard[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                       GetStdHandle(STD_ERROR_HANDLE)};
  wchar_t stdin_name[32768];
  length = GetEnvironmentVariableW(L"E2E_STDIN_FILE", stdin_name, 32768);
  if (length > 0 && length < 32768) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    standard[0] = CreateFileW(stdin_name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              &inherited, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (standard[0] == INVALID_HANDLE_VALUE) return fail("cannot open E2E_STDIN_FILE");
  }
  for (HANDLE h : standard) {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = standard[0];
  startup.hStdOutput = standard[1];
  startup.hStdError = standard[2];
  PROCESS_INFORMATION process;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    return fail("cannot start the program");
  }
  CloseHandle(process.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &code)) {
    return fail("cannot obtain the exit code");
  }
  CloseHandle(process.hProcess);

  std::FILE* report = _wfopen(report_name, L"wb");
  if (report == nullptr) return fail("cannot create the exit code file");
  const bool written = std::fprintf(report, "%lu\n", static_cast<unsigned long>(code)) > 0;
  if (std::fclose(report) != 0 || !written) return fail("cannot write the exit code file");
  return 0;
}
