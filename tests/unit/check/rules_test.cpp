// The checker's rule table is the one list of its rules: the README's table
// and the man page's RULES section name exactly those, with their
// severity, and the table stands in the order of its enumeration.
#include "check/rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace check {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::map<std::string, std::string> table_rules() {
  std::map<std::string, std::string> out;
  for (const RuleInfo& info : rules()) out[std::string(info.id)] = severity_name(info.severity);
  return out;
}

// The rows of the README's table under "| rule | severity |": id and
// severity.
std::map<std::string, std::string> readme_rules(const std::string& text) {
  std::map<std::string, std::string> out;
  const auto start = text.find("| rule | severity |");
  if (start == std::string::npos) return out;
  std::istringstream lines(text.substr(start));
  std::string line;
  std::getline(lines, line);  // the heading
  std::getline(lines, line);  // its rule
  while (std::getline(lines, line) && line.starts_with("| `")) {
    const auto id_end = line.find('`', 3);
    const auto severity_start = line.find("| ", id_end) + 2;
    const auto severity_end = line.find(" |", severity_start);
    out[line.substr(3, id_end - 3)] = line.substr(severity_start, severity_end - severity_start);
  }
  return out;
}

// The ".TP" then ".B id" entries of the man page's RULES section.
std::map<std::string, std::string> man_page_rules(const std::string& text) {
  std::map<std::string, std::string> out;
  const auto start = text.find(".SH RULES\n");
  const auto end = text.find("\n.SH ", start + 1);
  if (start == std::string::npos) return out;
  std::istringstream lines(text.substr(start, end - start));
  std::string line;
  bool after_tp = false;
  while (std::getline(lines, line)) {
    if (after_tp && line.starts_with(".B ")) out[line.substr(3)] = "";
    after_tp = line == ".TP";
  }
  return out;
}

TEST(Rules, StandInTheOrderOfTheirEnumeration) {
  for (std::size_t i = 0; i < rules().size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(rules()[i].rule), i) << rules()[i].id;
    EXPECT_EQ(rule_id(rules()[i].rule), rules()[i].id);
  }
}

TEST(Rules, TheReadmeListsExactlyTheTablesRules) {
  EXPECT_EQ(readme_rules(read_file(std::string(DAZ_SOURCE_DIR) + "/README.md")), table_rules());
}

TEST(Rules, TheManPageListsExactlyTheTablesRules) {
  std::map<std::string, std::string> expected;
  for (const auto& [id, severity] : table_rules()) expected[id] = "";
  EXPECT_EQ(
      man_page_rules(read_file(std::string(DAZ_SOURCE_DIR) + "/doc/daz-izezovivadezurid-check.1")),
      expected);
}

}  // namespace
}  // namespace check
