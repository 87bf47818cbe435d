#include "app/info_options.h"

#include "kestrelon/version.h"

namespace kestrelon::app {

namespace {

// Where an installed program keeps its settings.
#if defined(_WIN32)
constexpr char kUserSettings[] = "%LOCALAPPDATA%\\kestrelon\\Kestrelon.ini";
#else
constexpr char kUserSettings[] =
    "$XDG_CONFIG_HOME/kestrelon/Kestrelon.ini\n(else ~/.config/kestrelon/Kestrelon.ini)";
#endif

}  // namespace

std::optional<std::string> InfoOptionText(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    return std::nullopt;
  }
  if (args[0] == "--version") {
    return std::string("Kestrelon ") + kVersion + "\n";
  }
  if (args[0] == "--help") {
    return std::string(
               "Usage:\n"
               "  Kestrelon                                   open the window\n"
               "  Kestrelon [OrgFileName]                     sort the file, then end\n"
               "  Kestrelon [BeforeFileName] [AfterFileName]  compare the two files, then end\n"
               "  Kestrelon --route-diff BEFORE AFTER         open the window and the route diff\n"
               "                                              of the two captures\n"
               "  Kestrelon --folder-diff BEFORE_DIR AFTER_DIR\n"
               "                                              open the window and the folder\n"
               "                                              diff of two folders of captures\n"
               "  Kestrelon --help | --version                print this text or the version\n"
               "Settings: Kestrelon.ini beside the program (extensions, options); for an\n"
               "installed program (under /usr or where the build installs programs), ") +
           kUserSettings +
           ".\n"
           "Exit status: 0 done; 2 a missing input or a file that could not be read or\n"
           "written (a message on standard error, no partial file).\n";
  }
  return std::nullopt;
}

}  // namespace kestrelon::app
