#include "settings/install_folder.h"

#include <gtest/gtest.h>

#include <string_view>

namespace kestrelon::settings {
namespace {

struct FolderCase {
  std::string_view folder;
  std::string_view installBinDir;
  bool installed;
};

class InstalledProgramFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(InstalledProgramFolder, DecidedByPlaceAlone) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(IsInstalledProgramFolder(c.folder, c.installBinDir), c.installed)
      << c.folder << " with programs installed to " << c.installBinDir;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, InstalledProgramFolder,
    ::testing::Values(FolderCase{"/usr/bin", "/opt/k/bin", true},
                      FolderCase{"/usr/local/bin/", "", true}, FolderCase{"/usr", "", true},
                      // Only /usr itself and what lies under it, not a name that starts alike.
                      FolderCase{"/usrlocal/bin", "", false},
                      FolderCase{"/home/u/usr/bin", "", false},
                      FolderCase{"/opt/k/bin", "/opt/k/bin/", true},
                      FolderCase{"/opt/k/bin/", "/opt/k/bin", true},
                      // A portable copy: its own folder, also one inside the install prefix.
                      FolderCase{"/opt/k", "/opt/k/bin", false},
                      FolderCase{"/opt/k/bin/tools", "/opt/k/bin", false},
                      FolderCase{"/", "", false}));

}  // namespace
}  // namespace kestrelon::settings
