#include "page/page_style.h"

namespace zebevi::page {

const std::string_view kPageStyle = R"(
:root { color-scheme: light; --ink: #1d2330; --muted: #5f6b7a; --line: #d9dee5;
        --accent: #1f6fb2; --ok: #1b7f3b; --late: #b3261e; --unknown: #9a6700; --soft: #eef1f5; }
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; text-size-adjust: 100%; }
body { margin: 0; background: #f4f6f9; color: var(--ink); overflow-wrap: anywhere;
       font: 16px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "DejaVu Sans", sans-serif; }
main { max-width: 1040px; margin: 0 auto; padding: 28px 24px 40px; }
header.top { display: flex; flex-wrap: wrap; align-items: baseline; gap: 6px 20px; }
h1 { font-size: 24px; margin: 0; }
h2 { font-size: 17px; margin: 0 0 12px; }
.ids { display: flex; flex-wrap: wrap; gap: 4px 18px; margin: 0; color: var(--muted); font-size: 17px; }
.ids strong { color: var(--ink); }
.message { background: #fff4ce; border: 1px solid #e8d38a; padding: 8px 12px; border-radius: 6px; }
section { background: #fff; border: 1px solid var(--line); border-radius: 10px;
          padding: 18px 20px; margin-top: 16px; }
.cards { display: grid; grid-template-columns: repeat(2, minmax(340px, 1fr)); gap: 16px; }
.cards section { margin-top: 16px; }
#status { border-left: 6px solid var(--accent); }
#status[data-stage="delivered"] { border-left-color: var(--ok); }
#status[data-stage="arrived"] { border-left-color: var(--unknown); }
.glance { display: flex; flex-wrap: wrap; align-items: center; gap: 8px 14px; }
.stage { font-size: 26px; font-weight: 700; }
.verdict { padding: 3px 12px; border-radius: 999px; font-weight: 600; color: #fff; }
.verdict.ok { background: var(--ok); }
.verdict.late { background: var(--late); }
.verdict.unknown { background: var(--unknown); }
.latest { margin: 8px 0 14px; }
.latest time, .when { font-variant-numeric: tabular-nums; }
.lateness { font-weight: 600; }
.lateness.late { color: var(--late); }
.lateness.early, .lateness.on-time { color: var(--ok); }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 6px 18px; margin: 0; }
dl.arrivals { grid-template-columns: max-content minmax(160px, 1fr) max-content minmax(160px, 1fr); }
dt { color: var(--muted); }
dd { margin: 0; font-weight: 500; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 6px 10px; border-bottom: 1px solid var(--line); text-align: left; }
th { color: var(--muted); font-weight: 600; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
.empty { color: var(--muted); margin: 0; }
.strip { display: block; overflow: visible; }
.strip .track { fill: var(--soft); }
.strip .done { fill: var(--accent); }
.strip .mark { fill: var(--ink); }
.strip .planned { fill: var(--late); }
.strip-caption { margin: 8px 0 0; }
.strip-caption .note { color: var(--muted); }
ol.timeline { list-style: none; margin: 0; padding: 0 0 0 18px; border-left: 3px solid var(--line); }
ol.timeline li { position: relative; padding: 4px 0 12px 16px; display: flex; flex-wrap: wrap;
                 gap: 2px 12px; align-items: baseline; }
ol.timeline li::before { content: ""; position: absolute; left: -27px; top: 7px; width: 13px;
                         height: 13px; border-radius: 50%; background: var(--line);
                         border: 3px solid #fff; }
ol.timeline li:first-child::before { background: var(--accent); }
ol.timeline time { font-variant-numeric: tabular-nums; font-weight: 600; }
ol.timeline .odometer, ol.timeline .gap { color: var(--muted); font-size: 14px; }
.chart { max-width: 720px; }
svg text { font: 14px system-ui, "DejaVu Sans", sans-serif; fill: var(--ink); }
svg .value { fill: var(--muted); font-variant-numeric: tabular-nums; }
svg rect.bar { fill: var(--accent); }
svg rect.track { fill: var(--soft); }
.note { color: var(--muted); font-weight: 400; }
@media (max-width: 719px) {
  main { padding: 14px 10px 28px; }
  h1 { font-size: 20px; }
  section { padding: 14px 12px; margin-top: 12px; }
  .cards { grid-template-columns: minmax(0, 1fr); gap: 0; }
  .cards section { margin-top: 12px; }
  .stage { font-size: 22px; }
  dl, dl.arrivals { grid-template-columns: minmax(0, 1fr); gap: 0; }
  dd { margin-bottom: 8px; }
  th, td { padding: 6px 4px; }
}
@media print {
  body { background: #fff; font-size: 12pt; }
  main { max-width: none; padding: 0; }
  section { border: 1px solid #999; break-inside: avoid; }
  #status { border-left-width: 1px; }
  .cards { grid-template-columns: 1fr 1fr; }
  .verdict { color: var(--ink); border: 1px solid var(--ink); background: none !important; }
  .strip .done { fill: #555; }
  svg rect.bar { fill: #555; }
}
)";

}  // namespace zebevi::page
