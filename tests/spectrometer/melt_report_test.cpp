// The results as text, and the headless "--analyse-melt" run of the program.
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

class MeltReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Cell 2 melts, cell 4 is flat, the others have no records.
    std::vector<MeltPoint> flat = testing::Curve({55, 300, 0.4, 0, 0.4, 0}, 20, 90, 0.5, 0.002, 3);
    const std::string table = testing::SixCellTable({{}, testing::Curve({55, 300}, 20, 90, 0.5, 0.002, 2), {}, flat});
    std::ofstream(path_, std::ios::binary) << table;
  }
  void TearDown() override { std::remove(path_.c_str()); }

  // The report of `path` written by AnalyseMeltFile, and its exit status.
  static std::pair<int, std::string> Run(const char* path) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = AnalyseMeltFile(path, out, err);
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
    std::fclose(out);
    std::fclose(err);
    return {status, text};
  }

  std::string path_ = ::testing::TempDir() + "melt_report_test.txt";
};

std::vector<std::string> Split(const std::string& s, char by) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  for (std::string part; std::getline(in, part, by);) parts.push_back(part);
  return parts;
}

TEST_F(MeltReportTest, PrintsOneLinePerCellWithRecords) {
  const auto [status, text] = Run(path_.c_str());
  EXPECT_EQ(status, 0);
  const std::vector<std::string> lines = Split(text, '\n');
  ASSERT_EQ(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0],
            "cell\tpoints\ttm_derivative_c\ttm_fit_c\ttm_fit_se_c\tdh_kj_mol\tdh_se_kj_mol\tds_j_mol_k\tdg25_kj_mol\t"
            "residual_sd");
  const std::vector<std::string> melted = Split(lines[1], '\t'), flat = Split(lines[2], '\t');
  ASSERT_EQ(melted.size(), 10u);
  ASSERT_EQ(flat.size(), 10u);
  EXPECT_EQ(melted[0], "2");
  EXPECT_EQ(melted[1], "141");
  EXPECT_NEAR(std::stod(melted[3]), 55, 0.5);
  EXPECT_NEAR(std::stod(melted[5]), 300, 15);
  for (std::size_t i = 2; i < melted.size(); ++i) EXPECT_NE(melted[i].find('.'), std::string::npos) << melted[i];
  EXPECT_EQ(flat[0], "4");
  EXPECT_EQ(flat[1], "141");
  for (std::size_t i = 2; i < flat.size(); ++i) EXPECT_EQ(flat[i], "nan");
}

TEST_F(MeltReportTest, UnreadableFileExitsWithTwo) {
  for (const std::string& path : {path_ + ".missing", ::testing::TempDir()}) {
    const auto [status, text] = Run(path.c_str());
    EXPECT_EQ(status, 2) << path;
    EXPECT_EQ(text, "") << path;
  }
}

// The program itself answers without a display: with no X server to reach,
// creating the application object would end it.
TEST_F(MeltReportTest, ProgramRunsHeadless) {
  const char* build = std::getenv("VIREO_BUILD_DIR");
  ASSERT_NE(build, nullptr);
  const std::string vireo = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ") + build + "/vireo";
  struct Case {
    std::string args;
    int status;
    std::string out;
  } cases[] = {
      {"--analyse-melt " + path_, 0, Run(path_.c_str()).second},
      {"--analyse-melt " + path_ + ".missing", 2, ""},
      {"--analyse-melt", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::FILE* pipe = popen((vireo + " " + c.args + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    for (int ch; (ch = std::fgetc(pipe)) != EOF;) out += static_cast<char>(ch);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    EXPECT_EQ(out, c.out);
  }
}

}  // namespace
}  // namespace vireo
