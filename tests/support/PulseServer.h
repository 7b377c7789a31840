// PulseServer: a PulseAudio server of the test's own, for the tests and the
// benchmarks of sound on a real sound server. One null sink at 22,050 Hz mono
// (the game's own format, so what we play arrives sample for sample), its
// monitor recorded by parec, everything under a private XDG_RUNTIME_DIR and
// HOME. This process is pointed at it through its environment (no autospawn),
// so set up the server before the first sound. Every process started here is
// killed by its PID.
// Depends on: Debian's pulseaudio and pulseaudio-utils (pactl, parec).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sounds/WaveFile.h"

extern char** environ;

namespace Pulse {

namespace fs = std::filesystem;

constexpr const char* kSink = "stackfall";

// Whether the server and its tools are installed (scripts/deps.sh installs
// them); tests skip with this said when they are not.
inline bool Installed() {
  return std::system("for t in pulseaudio pactl parec; do command -v $t >/dev/null || exit 1; done") == 0;
}

class Server {
 public:
  // `dir` holds the server's runtime folder, home, log and recordings. With
  // `rewinds` the sink rewinds what it has mixed ahead to start a new stream
  // at once, as sinks on sound cards do; its monitor then shows what was
  // mixed before the rewind too, so that what we play arrives sample for
  // sample only without.
  explicit Server(fs::path dir, bool rewinds = false) : dir_(std::move(dir)), rewinds_(rewinds) {
    fs::create_directories(dir_ / "run");
    fs::create_directories(dir_ / "home");
    fs::permissions(dir_ / "run", fs::perms::owner_all, fs::perm_options::replace);
    std::ofstream(dir_ / "client.conf") << "autospawn = no\n";
    ::setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (dir_ / "client.conf").c_str(), 1);
    ::unsetenv("PULSE_SERVER");
    ::unsetenv("SDL_AUDIODRIVER");
  }
  ~Server() {
    StopRecording();
    Kill();
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Starts the server (again, on the same socket, after Kill) and waits until
  // it answers; false if it does not within 30 s (its log says why).
  bool Start() {
    const std::string sink = std::string("module-null-sink sink_name=") + kSink + " rate=22050 channels=1" +
                             (rewinds_ ? "" : " norewinds=1");
    server_ = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     "-L", sink, "-L", "module-native-protocol-unix auth-anonymous=1",
                     "--log-target=stderr"},
                    "/dev/null", dir_ / "server.log");
    return server_ > 0 && WaitFor([this] { return Run("pactl info >/dev/null 2>&1") == 0; });
  }

  // SIGKILL, as a crash would: the socket file stays behind.
  void Kill() { Stop(server_, SIGKILL); }

  // Records the sink's monitor, from now on, into a fresh file.
  bool StartRecording() {
    StopRecording();
    recording_ = dir_ / ("monitor" + std::to_string(++recordings_) + ".raw");
    recorder_ = Spawn({"parec", "-d", std::string(kSink) + ".monitor", "--raw", "--format=s16le",
                       "--rate=22050", "--channels=1", "--latency-msec=10"},
                      recording_, dir_ / "parec.log");
    // Recording has begun once the monitor has a source output.
    return recorder_ > 0 && WaitFor([this] { return Pactl("list short source-outputs").find('\t') != std::string::npos; });
  }
  // Records it into a pipe instead, as it plays (2 ms pieces): the end to
  // read from, -1 on failure. It closes at StopRecording.
  int RecordIntoPipe() {
    StopRecording();
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return -1;
    recorder_ = Spawn({"parec", "-d", std::string(kSink) + ".monitor", "--raw", "--format=s16le",
                       "--rate=22050", "--channels=1", "--latency-msec=2"},
                      "/dev/null", dir_ / "parec.log", ends[1]);
    ::close(ends[1]);
    if (recorder_ > 0) return ends[0];
    ::close(ends[0]);
    return -1;
  }
  void StopRecording() { Stop(recorder_, SIGTERM); }
  std::vector<std::int16_t> Recorded() const {
    return WaveFile::Samples16(WaveFile::ReadBytes(recording_.string()));
  }

  // pactl's answer to `args`, as text.
  std::string Pactl(const std::string& args) const {
    std::string out;
    if (std::FILE* p = ::popen(("pactl " + args + " 2>/dev/null").c_str(), "r")) {
      char buf[4096];
      for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
      ::pclose(p);
    }
    return out;
  }

  // The sink's state: RUNNING while a stream plays into it, IDLE when none
  // does (all corked or none at all).
  std::string SinkState() const {
    const std::string sinks = Pactl("list short sinks");
    const std::size_t line = sinks.find(std::string("\t") + kSink + "\t");
    if (line == std::string::npos) return "";
    const std::size_t end = sinks.find('\n', line);
    const std::string row = sinks.substr(line, end - line);
    return row.substr(row.rfind('\t') + 1);
  }

  // Polls `done` every 20 ms for up to `seconds`.
  template <class Done>
  static bool WaitFor(Done done, int seconds = 30) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

 private:
  fs::path dir_;
  bool rewinds_;
  fs::path recording_;
  int recordings_ = 0;
  pid_t server_ = 0;
  pid_t recorder_ = 0;

  // The children's environment: ours, with HOME in the test folder (the
  // server writes its cookie and state there, not into a real home).
  std::vector<std::string> ChildEnvironment() const {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
      if (std::string(*e).rfind("HOME=", 0) != 0) env.emplace_back(*e);
    env.push_back("HOME=" + (dir_ / "home").string());
    return env;
  }

  // Standard output into `out`, or into the descriptor `outFd` when given.
  pid_t Spawn(const std::vector<std::string>& args, const fs::path& out, const fs::path& err,
              int outFd = -1) const {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) {
      posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    } else {
      posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  int Run(const std::string& command) const {
    const std::string withHome = "HOME='" + (dir_ / "home").string() + "' " + command;
    const int status = std::system(withHome.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static void Stop(pid_t& pid, int signal) {
    if (pid <= 0) return;
    ::kill(pid, signal);
    ::waitpid(pid, nullptr, 0);
    pid = 0;
  }
};

}  // namespace Pulse
