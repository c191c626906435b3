// The --html page of `zebevi trip` in Debian's headless chromium.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "demo_fixture.h"
#include "service/browser.h"

namespace zebevi::testing {
namespace {

TEST(HtmlPage, IsOneSelfContainedFileThatABrowserShows) {
  TempDir dir;
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  EXPECT_EQ(RunOnDemo({"trip", document, "--html", (dir / "viagem.html").string()}).out, "");
  const std::string page = ReadWhole(dir / "viagem.html");
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
  const std::regex bar("<rect class=\"bar\"");
  EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), bar), {}), 13);
  for (const auto& [name, time] : summary["cycle"]["times"].items()) {
    EXPECT_NE(page.find("data-field=\"cycle.times." + name + "\">" + Shown(time) + "</text>"),
              std::string::npos)
        << name;
  }

  Browser browser;
  ASSERT_TRUE(browser.started());
  browser.Resize(1200, 1600);
  const auto open = [&](const char* file) {
    return browser.Open("file://" + (dir / file).string());
  };
  EXPECT_EQ(open("viagem.html").console, std::vector<std::string>{});
  EXPECT_EQ(browser.Evaluate("document.getElementById('document-number').textContent"),
            summary["document"]["number"]);
  EXPECT_EQ(browser.Evaluate("document.body.innerText.includes(" +
                             summary["header"]["driver"].dump() + ")"),
            true);
  browser.Screenshot(dir / "viagem.png");
  // Text, tables and bars compress far worse than an empty page.
  std::ofstream(dir / "blank.html") << "<!DOCTYPE html><meta charset=\"utf-8\">";
  open("blank.html");
  browser.Screenshot(dir / "blank.png");
  EXPECT_GT(ReadWhole(dir / "viagem.png").size(), 5 * ReadWhole(dir / "blank.png").size());
  // The console check above sees a page that does write to the console.
  std::ofstream(dir / "faulty.html") << "<!DOCTYPE html><script>missing();</script>";
  EXPECT_FALSE(open("faulty.html").console.empty());
}

}  // namespace
}  // namespace zebevi::testing
