// "vireo --analyse-melt FILE": the program prints the results without a
// window. With no X server to reach, creating the application object would
// end it, so every case also shows that the run is headless.
#include "spectrometer/melt_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "spectrometer/melt_curves.h"

namespace vireo {
namespace {

std::vector<std::string> Split(const std::string& s, char by) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  for (std::string part; std::getline(in, part, by);) parts.push_back(part);
  return parts;
}

class AnalyseMeltProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // Cell 2 melts, cell 4 is flat, the others have no records.
    std::vector<MeltPoint> flat = testing::Curve({55, 300, 0.4, 0, 0.4, 0}, 20, 90, 0.5, 0.002, 3);
    const std::string table = testing::SixCellTable({{}, testing::Curve({55, 300}, 20, 90, 0.5, 0.002, 2), {}, flat});
    std::ofstream(path_, std::ios::binary) << table;
  }
  void TearDown() override { std::remove(path_.c_str()); }

  // Exit status and standard output of the program with `args`.
  static std::pair<int, std::string> Run(const std::string& args) {
    const char* build = std::getenv("VIREO_BUILD_DIR");
    if (!build) return {-1, "VIREO_BUILD_DIR is not set"};
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ") + build + "/vireo " + args + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    for (int ch; pipe && (ch = std::fgetc(pipe)) != EOF;) out += static_cast<char>(ch);
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
  }

  std::string path_ = ::testing::TempDir() + "analyse_melt_program.txt";
};

TEST_F(AnalyseMeltProgram, PrintsOneLinePerCellWithRecords) {
  const auto [status, text] = Run("--analyse-melt " + path_);
  EXPECT_EQ(status, 0);
  const std::vector<std::string> lines = Split(text, '\n');
  ASSERT_EQ(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0],
            "cell\tpoints\ttm_derivative_c\ttm_fit_c\ttm_fit_se_c\tdh_kj_mol\tdh_se_kj_mol\tds_j_mol_k\tdg25_kj_mol\t"
            "residual_sd");
  const std::vector<std::string> melted = Split(lines[1], '\t'), flat = Split(lines[2], '\t');
  ASSERT_EQ(melted.size(), 10u);
  ASSERT_EQ(flat.size(), 10u);
  EXPECT_EQ(melted[0] + " " + melted[1], "2 141");
  EXPECT_NEAR(std::stod(melted[3]), 55, 0.5);
  EXPECT_NEAR(std::stod(melted[5]), 300, 15);
  for (std::size_t i = 2; i < melted.size(); ++i) EXPECT_NE(melted[i].find('.'), std::string::npos) << melted[i];
  EXPECT_EQ(flat[0] + " " + flat[1], "4 141");
  for (std::size_t i = 2; i < flat.size(); ++i) EXPECT_EQ(flat[i], "nan");
}

TEST_F(AnalyseMeltProgram, ExitsWithTwoWhenTheFileCannotBeRead) {
  for (const std::string& args : {"--analyse-melt " + path_ + ".missing", "--analyse-melt " + ::testing::TempDir(),
                                  std::string("--analyse-melt")}) {
    const auto [status, text] = Run(args);
    EXPECT_EQ(status, 2) << args;
    EXPECT_EQ(text, "") << args;
  }
}

}  // namespace
}  // namespace vireo
