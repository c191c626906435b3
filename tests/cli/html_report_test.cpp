// The --html page of `zebevi trip` in a real headless browser.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Debian's chromium; scripts/run-tests installs it.
std::string Chromium() {
  for (const char* name : {"chromium", "chromium-browser"}) {
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/snap/bin"}) {
      const fs::path candidate = fs::path(folder) / name;
      if (fs::exists(candidate)) return candidate.string();
    }
  }
  return "";
}

struct BrowserRun {
  int status = -1;
  std::string out;
  std::string log;
};

// Runs the headless browser on `page` with `extra` arguments, in a profile
// of its own that nothing outside the test sees.
BrowserRun Browse(const fs::path& page, const std::vector<std::string>& extra) {
  const std::string chromium = Chromium();
  if (chromium.empty()) {
    ADD_FAILURE() << "chromium is missing: ZEBEVI_WITH_BROWSER=1 scripts/install-deps installs it";
    return {};
  }
  TempDir dir;
  std::string command = ShellQuote(chromium) +
                        " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                        " --disable-background-networking --disable-component-update"
                        " --disable-sync --enable-logging=stderr --v=0 --user-data-dir=" +
                        ShellQuote((dir / "profile").string());
  for (const std::string& arg : extra) command += " " + ShellQuote(arg);
  command += " " + ShellQuote("file://" + fs::absolute(page).string()) + " >" +
             ShellQuote((dir / "out").string()) + " 2>" + ShellQuote((dir / "log").string());
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir / "out"), ReadFile(dir / "log")};
}

// What the page wrote to the browser's console, one message a line.
std::vector<std::string> ConsoleMessages(const std::string& log) {
  std::vector<std::string> messages;
  for (const std::string& line : Lines(log)) {
    if (line.find(":CONSOLE") != std::string::npos || line.find("Uncaught") != std::string::npos) {
      messages.push_back(line);
    }
  }
  return messages;
}

// Width and height from a PNG's header chunk; {0, 0} when it is no PNG.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& png) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      png.compare(12, 4, "IHDR") != 0) {
    return {0, 0};
  }
  const auto word = [&](std::size_t at) {
    std::uint32_t n = 0;
    for (std::size_t k = 0; k < 4; ++k) n = (n << 8) | static_cast<unsigned char>(png[at + k]);
    return n;
  };
  return {word(16), word(20)};
}

fs::path WritePage(const TempDir& dir) {
  const fs::path page = dir / "viagem.html";
  const CommandResult run =
      RunOnDemo({"trip", SharedDemo().Fact("exchanged_document_id"), "--html", page.string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;
  return page;
}

TEST(HtmlPage, IsOneSelfContainedFile) {
  TempDir dir;
  const std::string page = ReadFile(WritePage(dir));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"pt-BR\">", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<style>"), std::string::npos);
  EXPECT_NE(page.find("<svg "), std::string::npos);
  // Nothing to fetch: no script, no source, no address but the SVG namespace.
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find("url("), std::string::npos);
  std::string without_namespace = std::regex_replace(page, std::regex("xmlns=\"[^\"]*\""), "");
  EXPECT_EQ(without_namespace.find("http"), std::string::npos);
  // One bar per cycle time, every time text in the chart.
  const Json times = OutputJson(
      RunOnDemo({"trip", SharedDemo().Fact("exchanged_document_id"), "--json"}))["cycle"]["times"];
  std::size_t bars = 0;
  for (std::size_t at = page.find("<rect class=\"bar\""); at != std::string::npos;
       at = page.find("<rect class=\"bar\"", at + 1)) {
    ++bars;
  }
  EXPECT_EQ(bars, 13u);
  for (const auto& [name, time] : times.items()) {
    EXPECT_NE(page.find("data-field=\"cycle.times." + name + "\">" +
                        time["display"].get<std::string>() + "</text>"),
              std::string::npos)
        << name;
  }
}

TEST(HtmlPage, LoadsInAHeadlessBrowserWithoutConsoleMessages) {
  TempDir dir;
  const fs::path page = WritePage(dir);
  const BrowserRun run = Browse(page, {"--dump-dom"});
  ASSERT_EQ(run.status, 0) << run.log;
  EXPECT_TRUE(ConsoleMessages(run.log).empty()) << run.log;
  const Json summary =
      OutputJson(RunOnDemo({"trip", SharedDemo().Fact("exchanged_document_id"), "--json"}));
  const std::string number = summary["document"]["number"];
  EXPECT_NE(run.out.find("<strong id=\"document-number\">" + number + "</strong>"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(summary["header"]["driver"].get<std::string>()), std::string::npos);

  // The check above sees a page that does write to the console.
  const fs::path faulty = dir / "faulty.html";
  std::ofstream(faulty) << "<!DOCTYPE html><meta charset=\"utf-8\"><script>missing();</script>";
  EXPECT_FALSE(ConsoleMessages(Browse(faulty, {"--dump-dom"}).log).empty());
}

TEST(HtmlPage, ScreenshotShowsMoreThanABlankPage) {
  TempDir dir;
  const fs::path page = WritePage(dir);
  const fs::path shot = dir / "viagem.png";
  const BrowserRun run = Browse(page, {"--screenshot=" + shot.string(), "--window-size=1200,1600"});
  ASSERT_EQ(run.status, 0) << run.log;
  const std::string png = ReadFile(shot);
  EXPECT_EQ(PngSize(png), (std::pair<std::uint32_t, std::uint32_t>{1200, 1600}));

  const fs::path blank = dir / "blank.html";
  std::ofstream(blank)
      << "<!DOCTYPE html><meta charset=\"utf-8\"><link rel=\"icon\" href=\"data:,\">";
  const fs::path blank_shot = dir / "blank.png";
  ASSERT_EQ(
      Browse(blank, {"--screenshot=" + blank_shot.string(), "--window-size=1200,1600"}).status, 0);
  const std::string blank_png = ReadFile(blank_shot);
  EXPECT_EQ(PngSize(blank_png), PngSize(png));
  // Text, tables and bars compress far worse than an empty page.
  EXPECT_GT(png.size(), 5 * blank_png.size()) << png.size() << " vs " << blank_png.size();
}

}  // namespace
}  // namespace zebevi::testing
