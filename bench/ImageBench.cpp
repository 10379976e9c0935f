// korvantis-cli on a card image: the image read as a file against the image
// behind the simulated wire, as a whole process from start to exit, and as
// the command alone (RunCli, in this process).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "RatioReporter.h"

namespace {

namespace fs = std::filesystem;

// A copy of the image and a home of its own, so that no setting of the
// user's reaches the runs and nothing of theirs is touched.
struct Scratch {
  Scratch() {
    fs::create_directories(home);
    fs::copy_file(KORVANTIS_REALDATA_DIR "/images/ReadFiles_01.vmu", image,
                  fs::copy_options::overwrite_existing);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(home, ignored);
  }
  fs::path home = fs::temp_directory_path() / ("korvantis-image-bench-" + std::to_string(getpid()));
  std::string image = (home / "ReadFiles_01.vmu").string();
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

// Runs korvantis-cli with the arguments, its output to /dev/null; false when
// it could not be started or did not end with status 0.
bool RunProcess(const std::vector<std::string>& arguments) {
  std::vector<std::string> texts = {KORVANTIS_CLI_PATH};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts)
    argv.push_back(text.data());
  argv.push_back(nullptr);
  const std::string home = TheScratch().home.string();
  std::vector<std::string> variables = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                        "XDG_DATA_HOME=" + home + "/data", "LANG=C.UTF-8"};
  std::vector<char*> envp;
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The command alone, with no settings file and nothing to ask.
bool RunInProcess(const std::vector<std::string>& arguments) {
  CliEnvironment environment;
  environment.settingsPath = (TheScratch().home / "Korvantis.conf").string();
  std::ostringstream out, err;
  return RunCli(arguments, environment, out, err) == 0;
}

// Arg 0: the image read as a file; 1: through the simulated wire.
void Cli(benchmark::State& state, const char* command,
         bool (*run)(const std::vector<std::string>&)) {
  std::vector<std::string> arguments = {"--image", TheScratch().image};
  if (state.range(0) == 1) arguments.push_back("--simulate-wire");
  arguments.push_back(command);
  for (auto _ : state) {
    if (!run(arguments)) {
      state.SkipWithError("korvantis-cli failed");
      break;
    }
  }
}

void ProcessList(benchmark::State& state) {
  Cli(state, "list", RunProcess);
}
void ProcessCheck(benchmark::State& state) {
  Cli(state, "check", RunProcess);
}
void CommandList(benchmark::State& state) {
  Cli(state, "list", RunInProcess);
}
void CommandCheck(benchmark::State& state) {
  Cli(state, "check", RunInProcess);
}

BENCHMARK(ProcessList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ProcessCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CommandList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CommandCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter({
      {"process, list: wire / file", "ProcessList/1/real_time", "ProcessList/0/real_time"},
      {"process, check: wire / file", "ProcessCheck/1/real_time", "ProcessCheck/0/real_time"},
      {"command, list: wire / file", "CommandList/1/real_time", "CommandList/0/real_time"},
      {"command, check: wire / file", "CommandCheck/1/real_time", "CommandCheck/0/real_time"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
