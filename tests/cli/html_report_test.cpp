// The --html page of `zebevi trip` in Debian's headless chromium.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "demo_fixture.h"
#include "service/browser.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

TEST(HtmlPage, IsOneSelfContainedFileThatABrowserShows) {
  TempDir dir;
  const fs::path path = dir / "viagem.html";
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const CommandResult run = RunOnDemo({"trip", document, "--html", path.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  const std::string page = ReadWhole(path);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"pt-BR\">", 0), 0u);
  for (const char* part : {"<meta charset=\"utf-8\">", "<style>", "<svg "}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  // Nothing to fetch: no script, no source, no address but the SVG namespace.
  for (const char* part : {"<script", "src=", "url("}) {
    EXPECT_EQ(page.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(std::regex_replace(page, std::regex("xmlns=\"[^\"]*\""), "").find("http"),
            std::string::npos);
  // One bar per cycle time, every time text in the chart.
  const Json summary = OutputJson(RunOnDemo({"trip", document, "--json"}));
  std::size_t bars = 0;
  for (std::size_t at = page.find("<rect class=\"bar\""); at != std::string::npos;
       at = page.find("<rect class=\"bar\"", at + 1)) {
    ++bars;
  }
  EXPECT_EQ(bars, 13u);
  for (const auto& [name, time] : summary["cycle"]["times"].items()) {
    EXPECT_NE(page.find("data-field=\"cycle.times." + name + "\">" + Shown(time) + "</text>"),
              std::string::npos)
        << name;
  }

  Browser browser;
  ASSERT_TRUE(browser.started());
  browser.Resize(1200, 1600);
  const auto open = [&](const fs::path& file) { return browser.Open("file://" + file.string()); };
  EXPECT_EQ(open(path).console, std::vector<std::string>{});
  EXPECT_EQ(browser.Evaluate("document.getElementById('document-number').textContent"),
            summary["document"]["number"]);
  EXPECT_EQ(browser.Evaluate("document.body.innerText.includes(" +
                             summary["header"]["driver"].dump() + ")"),
            true);
  browser.Screenshot(dir / "viagem.png");
  // Text, tables and bars compress far worse than an empty page.
  std::ofstream(dir / "blank.html") << "<!DOCTYPE html><meta charset=\"utf-8\">";
  open(dir / "blank.html");
  browser.Screenshot(dir / "blank.png");
  EXPECT_GT(ReadWhole(dir / "viagem.png").size(), 5 * ReadWhole(dir / "blank.png").size());
  // The console check above sees a page that does write to the console.
  std::ofstream(dir / "faulty.html") << "<!DOCTYPE html><script>missing();</script>";
  EXPECT_FALSE(open(dir / "faulty.html").console.empty());
}

}  // namespace
}  // namespace zebevi::testing
