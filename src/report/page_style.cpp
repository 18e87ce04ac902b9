#include "report/page_style.h"

namespace report {

std::string_view page_style() {
  return R"(
:root{color-scheme:light;--blue:#0072B2;--vermillion:#D55E00;--orange:#E69F00;--ink:#1d1d1f;--rule:#d0d4d9}
body{margin:0 auto;max-width:62rem;padding:1.5rem;font:15px/1.45 system-ui,"Segoe UI",Roboto,"DejaVu Sans",Arial,sans-serif;color:var(--ink);background:#fff}
h1{font-size:1.6rem;margin:0 0 .3rem}
h2{font-size:1.25rem;margin:2.2rem 0 .6rem;padding-top:.8rem;border-top:3px solid var(--ink);overflow-wrap:anywhere}
h3{font-size:1.05rem;margin:1.6rem 0 .5rem;overflow-wrap:anywhere}
a{color:var(--blue)}
.totals{font-size:1.05rem;margin:.2rem 0 1rem}
table{border-collapse:collapse;margin:.4rem 0 .8rem}
caption{text-align:left;font-weight:600;padding:.2rem 0}
th,td{border:1px solid var(--rule);padding:.25rem .55rem;text-align:left;vertical-align:top;overflow-wrap:anywhere}
thead th{background:#eef1f4}
th[scope=row]{background:#f6f7f9;font-weight:600;white-space:nowrap}
td.count{text-align:right;font-variant-numeric:tabular-nums}
.sev{display:inline-block;min-width:4.5em;white-space:nowrap;padding:0 .4em;border-radius:3px;font-weight:600;text-align:center}
.sev-error{background:var(--vermillion);color:#fff}
.sev-warning{background:var(--orange);color:#000}
.clean{color:#285;font-weight:600}
.missing{border-left:4px solid var(--orange);background:#fff8e6;padding:.35rem .7rem;margin:.4rem 0}
.product{margin:1rem 0 1.6rem}
.views{display:flex;flex-wrap:wrap;gap:.6rem}
.view-figure{margin:0}
.view-figure figcaption{font-size:.85rem;color:#444;max-width:240px}
svg.view{display:block}
svg.view .frame{fill:#fff;stroke:#c3c8ce;stroke-width:1}
svg.view [class^=shade]{fill:none;shape-rendering:crispEdges}
svg.view .shade1{stroke:#8d9297}svg.view .shade2{stroke:#a7acb1}svg.view .shade3{stroke:#bfc3c7}
svg.view .shade4{stroke:#d3d6d9}svg.view .shade5{stroke:#e4e6e8}
svg.view .margin{fill:none;stroke:var(--blue);stroke-width:2;stroke-linejoin:round;stroke-linecap:round}
svg.view .start{fill:none;stroke:#000;stroke-width:1.8}
svg.view .marked,svg.view .beyond{fill:var(--vermillion);stroke:#fff;stroke-width:1}
svg.view .scale path{fill:none;stroke:#333;stroke-width:1.5}
svg.view .scale text{font:12px system-ui,"DejaVu Sans",Arial,sans-serif;fill:#333}
.legend{list-style:none;padding:0;margin:.4rem 0;display:flex;flex-wrap:wrap;gap:.3rem 1.4rem;font-size:.9rem}
.key{display:inline-block;width:1.2em;margin-right:.3em;text-align:center;font-weight:700}
.key-mesh{color:#bfc3c7}
.key-margin{color:var(--blue)}
.key-start{color:#000}
.key-marked,.key-beyond{color:var(--vermillion)}
@page{size:A4;margin:14mm}
@media print{
body{max-width:none;padding:0;font-size:10pt}
a{color:inherit;text-decoration:none}
h2{break-before:page;border-top:none;padding-top:0}
.product,table,figure{break-inside:avoid}
.views{gap:3mm;flex-wrap:nowrap}
.view-figure{width:56mm}
.view-figure figcaption{max-width:none;font-size:8pt}
svg.view{width:56mm;height:auto}
thead th,th[scope=row],.sev,.missing,svg.view *{print-color-adjust:exact;-webkit-print-color-adjust:exact}
}
)";
}

}  // namespace report
