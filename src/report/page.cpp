#include "report/page.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "report/html_text.h"
#include "report/page_style.h"
#include "report/product_views.h"

namespace report {

namespace {

void append_count(std::string& out, std::size_t count) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
}

void append_counted(std::string& out, std::size_t count, std::string_view one,
                    std::string_view many) {
  append_count(out, count);
  out += ' ';
  out += count == 1 ? one : many;
}

// "case-3", "case-3-product-2", "case-3-product-2-point-17": from
// positions alone, so no name of a file ever reaches an id.
std::string anchor(std::size_t case_position, std::size_t product_position = 0,
                   std::size_t point_position = 0) {
  std::string id = "case-";
  append_count(id, case_position);
  if (product_position > 0) {
    id += "-product-";
    append_count(id, product_position);
  }
  if (point_position > 0) {
    id += "-point-";
    append_count(id, point_position);
  }
  return id;
}

std::string finding_anchor(std::size_t case_position, std::size_t finding_position) {
  std::string id = anchor(case_position) + "-finding-";
  append_count(id, finding_position);
  return id;
}

std::string_view severity_word(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "Error";
    case Severity::Warning:
      return "Warning";
  }
  return {};
}

std::string_view severity_class(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "sev sev-error";
    case Severity::Warning:
      return "sev sev-warning";
  }
  return {};
}

void append_link(std::string& out, std::string_view id, std::string_view text) {
  out += "<a href=\"#";
  out += id;
  out += "\">";
  out += text;
  out += "</a>";
}

void append_row(std::string& out, std::string_view name, std::string_view value_html) {
  out += "<tr><th scope=\"row\">";
  out += name;
  out += "</th><td>";
  out += value_html;
  out += "</td></tr>";
}

std::string millimetres(const std::optional<double>& value) {
  if (!value) return "not given";
  std::string text;
  append_number(text, *value, 3);
  return text + " mm";
}

std::string named_or(std::string_view name, std::string_view otherwise) {
  return name.empty() ? std::string(otherwise) : html_text(name);
}

std::string teeth_text(const std::vector<int>& teeth) {
  if (teeth.empty()) return "none given";
  std::string text;
  for (std::size_t i = 0; i < teeth.size(); ++i) {
    if (i > 0) text += ", ";
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, teeth[i]).ptr);
  }
  return text;
}

// The product's title, as its heading and its pictures' labels say it.
std::string product_label(const Product& product, std::size_t position) {
  std::string label = "Product ";
  append_count(label, position);
  label += product.teeth.size() == 1 ? ", tooth " : ", teeth ";
  label += teeth_text(product.teeth);
  if (!product.reconstruction.empty()) {
    label += ", ";
    label += html_text(product.reconstruction);
  }
  return label;
}

// For each margin point of the product, whether a finding concerns it.
std::vector<bool> marked_points(const CaseReport& case_report, std::size_t product_index) {
  const Product& product = case_report.products[product_index];
  std::vector<bool> marked(product.margin ? product.margin->size() : 0, false);
  for (const Finding& finding : case_report.findings) {
    if (finding.product == product_index && finding.point && *finding.point < marked.size()) {
      marked[*finding.point] = true;
    }
  }
  return marked;
}

void append_facts(std::string& out, const Product& product) {
  out += "<table class=\"facts\"><tbody>";
  append_row(out, "Teeth", teeth_text(product.teeth));
  append_row(out, "Reconstruction", named_or(product.reconstruction, "not given"));
  append_row(out, "Colour", named_or(product.colour, "not given"));
  append_row(out, "Height", millimetres(product.height));
  append_row(out, "Blank height", millimetres(product.blank_height));
  append_row(out, "STL file", named_or(product.stl_name, "none named"));
  append_row(out, "Margin line file", named_or(product.pts_name, "none named"));
  out += "</tbody></table>";
}

void append_missing(std::string& out, const Product& product) {
  if (!product.mesh) {
    out += "<p class=\"missing\"><strong>No mesh drawn:</strong> ";
    out += named_or(product.mesh_missing, "the mesh is missing");
    out += "</p>";
  }
  if (!product.margin) {
    out += "<p class=\"missing\"><strong>No margin line drawn:</strong> ";
    out += named_or(product.margin_missing, "the margin line is missing");
    out += "</p>";
  }
}

void append_point_coordinates(std::string& out, const Product& product, std::size_t point) {
  if (!product.margin || point >= product.margin->size()) {
    out += "<td colspan=\"3\">not a point of the margin line</td>";
    return;
  }
  const qfm::Vec3& p = (*product.margin)[point];
  for (double coordinate : {p.x, p.y, p.z}) {
    out += "<td class=\"count\">";
    append_number(out, coordinate, 3);
    out += "</td>";
  }
}

// The points that findings concern, one row each with links back to them.
void append_points_with_findings(std::string& out, const CaseReport& case_report,
                                 std::size_t case_position, std::size_t product_index) {
  std::vector<std::size_t> points;
  for (const Finding& finding : case_report.findings) {
    if (finding.product != product_index || !finding.point) continue;
    bool seen = false;
    for (std::size_t point : points) seen = seen || point == *finding.point;
    if (!seen) points.push_back(*finding.point);
  }
  if (points.empty()) return;
  const Product& product = case_report.products[product_index];
  out +=
      "<table class=\"points\"><caption>Points with findings (mm)</caption><thead><tr>"
      "<th scope=\"col\">Point</th><th scope=\"col\">x</th><th scope=\"col\">y</th>"
      "<th scope=\"col\">z</th><th scope=\"col\">Findings</th></tr></thead><tbody>";
  for (std::size_t point : points) {
    out += "<tr id=\"";
    out += anchor(case_position, product_index + 1, point + 1);
    out += "\"><th scope=\"row\">";
    append_count(out, point + 1);
    out += "</th>";
    append_point_coordinates(out, product, point);
    out += "<td>";
    bool first = true;
    for (std::size_t i = 0; i < case_report.findings.size(); ++i) {
      const Finding& finding = case_report.findings[i];
      if (finding.product != product_index || finding.point != point) continue;
      if (!first) out += ", ";
      first = false;
      std::string text = "finding ";
      append_count(text, i + 1);
      append_link(out, finding_anchor(case_position, i + 1), text);
    }
    out += "</td></tr>";
  }
  out += "</tbody></table>";
}

void append_product(std::string& out, const CaseReport& case_report, std::size_t case_position,
                    std::size_t product_index) {
  const Product& product = case_report.products[product_index];
  const std::string label = product_label(product, product_index + 1);
  out += "<section class=\"product\" id=\"";
  out += anchor(case_position, product_index + 1);
  out += "\"><h3>";
  out += label;
  out += "</h3>";
  append_facts(out, product);
  append_missing(out, product);
  append_product_views(out, product, marked_points(case_report, product_index), label);
  append_points_with_findings(out, case_report, case_position, product_index);
  out += "</section>";
}

void append_concerns(std::string& out, const CaseReport& case_report, std::size_t case_position,
                     const Finding& finding) {
  if (!finding.product) return;
  std::string text = "product ";
  append_count(text, *finding.product + 1);
  if (*finding.product >= case_report.products.size()) {
    out += text;
    return;
  }
  append_link(out, anchor(case_position, *finding.product + 1), text);
  if (!finding.point) return;
  text = "point ";
  append_count(text, *finding.point + 1);
  out += ", ";
  append_link(out, anchor(case_position, *finding.product + 1, *finding.point + 1), text);
}

void append_findings(std::string& out, const CaseReport& case_report, std::size_t case_position) {
  if (case_report.findings.empty()) {
    out += "<p class=\"clean\">No findings.</p>";
    return;
  }
  out +=
      "<table class=\"findings\"><caption>Findings</caption><thead><tr>"
      "<th scope=\"col\">#</th><th scope=\"col\">Severity</th><th scope=\"col\">Where</th>"
      "<th scope=\"col\">Message</th><th scope=\"col\">Rule</th>"
      "<th scope=\"col\">Concerns</th></tr></thead><tbody>";
  for (std::size_t i = 0; i < case_report.findings.size(); ++i) {
    const Finding& finding = case_report.findings[i];
    out += "<tr id=\"";
    out += finding_anchor(case_position, i + 1);
    out += "\"><td class=\"count\">";
    append_count(out, i + 1);
    out += "</td><td><span class=\"";
    out += severity_class(finding.severity);
    out += "\">";
    out += severity_word(finding.severity);
    out += "</span></td><td>";
    append_html_text(out, finding.file);
    if (finding.line > 0) {
      out += ':';
      append_count(out, finding.line);
      if (finding.column > 0) {
        out += ':';
        append_count(out, finding.column);
      }
    }
    out += "</td><td>";
    append_html_text(out, finding.message);
    out += "</td><td><code>";
    append_html_text(out, finding.rule);
    out += "</code></td><td>";
    append_concerns(out, case_report, case_position, finding);
    out += "</td></tr>";
  }
  out += "</tbody></table>";
}

void append_case_facts(std::string& out, const CaseReport& case_report) {
  out += "<table class=\"facts\"><tbody>";
  std::string machine = named_or(case_report.machine, "not given");
  if (case_report.fallback) {
    machine += " (the tool falls back to ";
    machine += html_text(*case_report.fallback);
    machine += ")";
  }
  append_row(out, "Machine", machine);
  if (case_report.materials.empty()) append_row(out, "Material", "no material texts");
  for (const NamedText& material : case_report.materials) {
    append_row(out, html_text(material.name), named_or(material.text, "empty"));
  }
  out += "</tbody></table>";
}

}  // namespace

std::string report_start(const RunSummary& run, std::span<const CaseSummary> cases) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Case check report</title><style>";
  out += page_style();
  out += "</style></head><body><header><h1>Case check report</h1><p class=\"totals\">";
  append_counted(out, run.cases_checked, "case", "cases");
  out += " checked: ";
  append_counted(out, run.errors, "error", "errors");
  out += ", ";
  append_counted(out, run.warnings, "warning", "warnings");
  out += '.';
  if (run.unreadable > 0) {
    out += " <strong>";
    append_counted(out, run.unreadable, "named file", "named files");
    out += " could not be read.</strong>";
  }
  out +=
      "</p></header>\n<nav aria-label=\"Cases\"><table class=\"summary\"><thead><tr>"
      "<th scope=\"col\">#</th><th scope=\"col\">Case</th><th scope=\"col\">Errors</th>"
      "<th scope=\"col\">Warnings</th></tr></thead><tbody>";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    out += "<tr><td class=\"count\">";
    append_count(out, i + 1);
    out += "</td><td>";
    append_link(out, anchor(i + 1), html_text(cases[i].path));
    if (cases[i].unreadable) {
      out += "</td><td colspan=\"2\">could not be read</td></tr>";
      continue;
    }
    out += "</td><td class=\"count\">";
    append_count(out, cases[i].errors);
    out += "</td><td class=\"count\">";
    append_count(out, cases[i].warnings);
    out += "</td></tr>";
  }
  out += "</tbody></table></nav>\n<main>";
  return out;
}

std::string case_section(const CaseReport& case_report, std::size_t position) {
  std::string out = "<section class=\"case\" id=\"";
  out += anchor(position);
  out += "\"><h2>Case ";
  append_count(out, position);
  out += ": ";
  append_html_text(out, case_report.path);
  out += "</h2>";
  if (!case_report.unreadable.empty()) {
    out += "<p class=\"missing\"><strong>Could not be read:</strong> ";
    append_html_text(out, case_report.unreadable);
    out += "</p></section>\n";
    return out;
  }
  append_case_facts(out, case_report);
  append_findings(out, case_report, position);
  if (case_report.products.empty()) out += "<p class=\"missing\">No products were read.</p>";
  for (std::size_t i = 0; i < case_report.products.size(); ++i) {
    append_product(out, case_report, position, i);
  }
  out += "</section>\n";
  return out;
}

std::string report_end() { return "</main></body></html>\n"; }

std::string write_report(const RunSummary& run, std::span<const CaseReport> cases) {
  std::vector<CaseSummary> summaries;
  summaries.reserve(cases.size());
  for (const CaseReport& case_report : cases) summaries.push_back(summarise(case_report));
  std::string out = report_start(run, summaries);
  for (std::size_t i = 0; i < cases.size(); ++i) out += case_section(cases[i], i + 1);
  out += report_end();
  return out;
}

}  // namespace report
