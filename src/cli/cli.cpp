#include "cli/cli.h"

#include <new>
#include <ostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/error_output.h"
#include "cli/output_files.h"
#include "cli/run_context.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_error.h"

namespace terrak::cli {

namespace {

int RunCommand(const CommandOptions& command, RunContext& run) {
  // A clash first: --force must never make an input the output.
  for (const auto& refusal : {RefuseClashingOutputs(command), RefuseReadOnlyOutputs(command)})
    if (refusal) {
      run.Err.Line(*refusal);
      return kExitFailure;
    }
  return std::visit(
      [&run](const auto& options) {
        using Options = std::decay_t<decltype(options)>;
        if constexpr (std::is_same_v<Options, InfoOptions>)
          return InfoCommand(options, run);
        else if constexpr (std::is_same_v<Options, GridOptions>)
          return GridCommand(options, run);
        else if constexpr (std::is_same_v<Options, RenderOptions>)
          return RenderCommand(options, run);
        else if constexpr (std::is_same_v<Options, HeightsOptions>)
          return HeightsCommand(options, run);
        else if constexpr (std::is_same_v<Options, ExportOptions>)
          return ExportCommand(options, run);
        else
          return MapCommand(options, run);
      },
      command);
}

}  // namespace

int Run(const std::vector<std::string>& args, const CliEnvironment& environment) {
  const ParsedCommandLine parsed = ParseCommandLine(args, environment.Out, environment.Err);
  if (!parsed.Command) return parsed.Exit;

  ErrorOutput err(environment.Err, environment.ErrIsTerminal);
  // The one handler of every failure. The run's scratch folder lives inside the try, so it is
  // gone by the time the message is written, whatever ended the run.
  try {
    RunContext run(environment.Out, err, environment.TempFolder, environment.Registry);
    return RunCommand(*parsed.Command, run);
  } catch (const OcadFormatError& e) {
    err.Line(std::string(e.what()) + " (" + e.Detail() + ")");
  } catch (const FileError& e) {
    err.Line(e.what());
  } catch (const std::bad_alloc&) {
    err.Line("terrak-cli: there is not enough memory for this run");
  } catch (const std::exception& e) {
    err.Line(std::string("terrak-cli: ") + e.what());
  } catch (...) {
    err.Line("terrak-cli: the run ended with an unexpected error");
  }
  return kExitFailure;
}

}  // namespace terrak::cli
