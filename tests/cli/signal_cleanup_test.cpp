// terrak-cli as a process ended by a signal (Ctrl+C, kill, an abort, a closed pipe) or short of
// memory: its scratch folder is gone afterwards, and a signal still ends it as that signal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli_run.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;
namespace fs = std::filesystem;

const std::string kDemoMap = TERRAK_SOURCE_DIR "/samples/demo6.ocd";

// terrak-cli started with TMPDIR at tmp, standard output into a small pipe that nobody reads
// (so a run that prints much waits there), standard error into a file.
struct CliProcess {
  pid_t Pid = -1;
  int Output = -1;  // the pipe's read end

  CliProcess(const std::vector<std::string>& args, const std::string& tmp,
             const std::string& errFile, rlim_t addressSpace = RLIM_INFINITY,
             int ignored = 0) {
    int ends[2];
    if (::pipe(ends) != 0) return;
    ::fcntl(ends[0], F_SETPIPE_SZ, 4096);
    Pid = ::fork();
    if (Pid == 0) {
      ::dup2(ends[1], STDOUT_FILENO);
      const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, STDERR_FILENO);
      ::close(ends[0]);
      // As a shell starts a program: every signal at its default, none blocked.
      for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
      if (ignored != 0) ::signal(ignored, SIG_IGN);  // as nohup or a background job starts it
      sigset_t none;
      sigemptyset(&none);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      if (addressSpace != RLIM_INFINITY) {
        const rlimit limit{addressSpace, addressSpace};
        ::setrlimit(RLIMIT_AS, &limit);
      }
      ::setenv("TMPDIR", tmp.c_str(), 1);
      std::vector<char*> argv{const_cast<char*>(TERRAK_CLI_PATH)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(TERRAK_CLI_PATH, argv.data());
      ::_exit(127);
    }
    ::close(ends[1]);
    Output = ends[0];
  }
  ~CliProcess() {
    if (Output >= 0) ::close(Output);
    if (Pid > 0 && ::waitpid(Pid, nullptr, WNOHANG) == 0) {
      Signal(SIGKILL);
      ::waitpid(Pid, nullptr, 0);
    }
  }

  // Sends signal to this child only, and only while it has not been reaped: a pid of -1 or 0
  // would signal every process of the user, or the test's whole process group.
  bool Signal(int signal) const { return Pid > 0 && ::kill(Pid, signal) == 0; }

  // The wait status, or nothing when the process is still running after the time given.
  std::optional<int> Wait(std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(Pid, &status, WNOHANG) == Pid) {
        Pid = -1;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
  }
};

// Waits until a run's scratch folder holds its working copy.
bool ScratchInUse(const std::string& tmp) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < end) {
    for (const fs::path& folder : ScratchFolders(tmp))
      if (fs::exists(folder / "OCADCopy.tmp")) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The objects of a map fill more than the pipe holds: the run waits there with its scratch in use.
const std::vector<std::string> kLongRun = {"info", kDemoMap, "--objects", "101,102"};

// Waits for the run to end and says whether it died of signal and left no scratch behind.
void ExpectDiedOf(CliProcess& cli, const TempFolder& tmp, int signal) {
  const std::optional<int> status = cli.Wait(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << strsignal(signal);
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << strsignal(signal);
  EXPECT_TRUE(ScratchFolders(tmp.Path()).empty()) << strsignal(signal);
}

TEST(SignalCleanup, ARunEndedBySignalLeavesNoScratchAndDiesOfItUnlessItWasIgnored) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGABRT, SIGQUIT}) {
    TempFolder tmp;
    CliProcess cli(kLongRun, tmp.Path(), tmp.File("err.txt"));
    ASSERT_TRUE(cli.Pid > 0 && ScratchInUse(tmp.Path())) << strsignal(signal);
    ASSERT_TRUE(cli.Signal(signal));
    ExpectDiedOf(cli, tmp, signal);
  }
  // A reader that stops reading, as `terrak-cli info ... | head -1` does.
  TempFolder tmp;
  CliProcess cli(kLongRun, tmp.Path(), tmp.File("err.txt"));
  ASSERT_TRUE(ScratchInUse(tmp.Path()));
  ::close(cli.Output);
  cli.Output = -1;
  ExpectDiedOf(cli, tmp, SIGPIPE);

  // A signal ignored at the start stays ignored.
  TempFolder ignoring;
  CliProcess nohup(kLongRun, ignoring.Path(), ignoring.File("err.txt"), RLIM_INFINITY, SIGINT);
  ASSERT_TRUE(ScratchInUse(ignoring.Path()));
  ASSERT_TRUE(nohup.Signal(SIGINT));
  ASSERT_FALSE(nohup.Wait(std::chrono::seconds(1)).has_value());  // still running
  EXPECT_EQ(ScratchFolders(ignoring.Path()).size(), 1u);
  ASSERT_TRUE(nohup.Signal(SIGTERM));
  ExpectDiedOf(nohup, ignoring, SIGTERM);
}

TEST(SignalCleanup, ARunShortOfMemorySaysSoAndCleansUp) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
  TempFolder tmp;
  CliProcess cli({"render", kDemoMap, "--symbols", "101,102", "--size", "10000x10000", "--out",
                  tmp.File("x.bmp")},
                 tmp.Path(), tmp.File("err.txt"), rlim_t{400'000} * 1024);
  ::close(cli.Output);
  cli.Output = -1;
  const std::optional<int> status = cli.Wait(std::chrono::seconds(120));
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 1);
  EXPECT_NE(ReadText(tmp.File("err.txt")).find("terrak-cli: there is not enough memory for this run\n"),
            std::string::npos)
      << ReadText(tmp.File("err.txt"));
  EXPECT_FALSE(fs::exists(tmp.File("x.bmp")));
  EXPECT_TRUE(ScratchFolders(tmp.Path()).empty());
#endif
}

}  // namespace
}  // namespace terrak
