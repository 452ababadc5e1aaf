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
  // Today's ten columns first, then the added ones.
  EXPECT_EQ(lines[0],
            "cell\tpoints\ttm_derivative_c\ttm_fit_c\ttm_fit_se_c\tdh_kj_mol\tdh_se_kj_mol\tds_j_mol_k\tdg25_kj_mol\t"
            "residual_sd\tds_se_j_mol_k\tdg25_se_kj_mol\tdg37_kj_mol\tdg37_se_kj_mol\tct_um\tsegment\thysteresis_c\t"
            "outliers\tstatus");
  const std::vector<std::string> melted = Split(lines[1], '\t'), flat = Split(lines[2], '\t');
  ASSERT_EQ(melted.size(), 19u);
  ASSERT_EQ(flat.size(), 19u);
  EXPECT_EQ(melted[0] + " " + melted[1], "2 141");
  EXPECT_NEAR(std::stod(melted[3]), 55, 0.5);
  EXPECT_NEAR(std::stod(melted[5]), 300, 15);
  for (std::size_t i = 2; i < 14; ++i) EXPECT_NE(melted[i].find('.'), std::string::npos) << melted[i];
  EXPECT_EQ(melted[14] + " " + melted[15] + " " + melted[16] + " " + melted[17] + " " + melted[18],
            "nan heating nan 0 ok");
  EXPECT_EQ(flat[0] + " " + flat[1], "4 141");
  for (std::size_t i = 2; i < 15; ++i) EXPECT_EQ(flat[i], "nan");
  EXPECT_EQ(flat[18], "no_transition");
}

// Two files of a heteroduplex series (cells 1 to 6 and 7 to 9) as one set,
// in kcal: a line per cell, a blank line, and the three methods.
TEST_F(AnalyseMeltProgram, PrintsTheThreeMethodsOfASeriesAcrossFiles) {
  const double ct[] = {2, 4, 8, 15, 30, 60, 90, 120, 5};
  std::vector<std::vector<MeltPoint>> first, second;
  for (std::size_t c = 0; c < 9; ++c) {
    (c < 6 ? first : second)
        .push_back(testing::Curve(testing::Duplex{MeltModel::Heteroduplex, 350, 1000, ct[c]}, 5, 95, 0.5, 0.002,
                                  60 + static_cast<unsigned>(c)));
  }
  std::ofstream(path_, std::ios::binary) << testing::SixCellTable(first);
  const std::string second_ = path_ + ".2";
  std::ofstream(second_, std::ios::binary) << testing::SixCellTable(second);
  const auto [status, text] = Run("--analyse-melt " + path_ + " --model heteroduplex " + second_ +
                                  " --units kcal --range 0:100 --ct 2,4,8,15,30,60,90,120,5");
  std::remove(second_.c_str());
  EXPECT_EQ(status, 0);
  const std::vector<std::string> lines = Split(text, '\n');
  ASSERT_EQ(lines.size(), 15u) << text;
  EXPECT_NE(lines[0].find("\tdh_kcal_mol\tdh_se_kcal_mol\tds_cal_mol_k\t"), std::string::npos);
  EXPECT_EQ(Split(lines[9], '\t')[0], "9");
  EXPECT_EQ(Split(lines[9], '\t')[14], "5.00");
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11],
            "method\tdh_kcal_mol\tdh_se_kcal_mol\tds_cal_mol_k\tds_se_cal_mol_k\tdg37_kcal_mol\tdg37_se_kcal_mol\t"
            "cells\tr2\tdh_spread_pct");
  const char* const methods[] = {"individual", "tm_vs_ln_ct", "global"};
  for (int m = 0; m < 3; ++m) {
    const std::vector<std::string> f = Split(lines[static_cast<std::size_t>(12 + m)], '\t');
    ASSERT_EQ(f.size(), 10u);
    EXPECT_EQ(f[0], methods[m]);
    EXPECT_NEAR(std::stod(f[1]), 350 / 4.184, 0.03 * 350 / 4.184);
    EXPECT_NEAR(std::stod(f[3]), 1000 / 4.184, 0.03 * 1000 / 4.184);
    EXPECT_EQ(f[7], "9");
  }
}

TEST_F(AnalyseMeltProgram, ExitsWithTwoWhenTheFileCannotBeReadOrAnOptionIsWrong) {
  for (const std::string& args :
       {"--analyse-melt " + path_ + ".missing", "--analyse-melt " + ::testing::TempDir(), std::string("--analyse-melt"),
        "--analyse-melt " + path_ + " " + path_ + ".missing", "--analyse-melt " + path_ + " --model triplex",
        "--analyse-melt " + path_ + " --units J", "--analyse-melt " + path_ + " --range 60:40",
        "--analyse-melt " + path_ + " --range warm", "--analyse-melt " + path_ + " --ct 2,-1",
        "--analyse-melt " + path_ + " --ct 2,x", "--analyse-melt " + path_ + " --colour red"}) {
    const auto [status, text] = Run(args);
    EXPECT_EQ(status, 2) << args;
    EXPECT_EQ(text, "") << args;
  }
}

}  // namespace
}  // namespace vireo
