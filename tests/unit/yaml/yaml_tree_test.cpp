// The catalogs' YAML tree: what the catalogs read of it (mappings in text
// order, scalars, places) and the faults, worded as libyaml's own loader
// words them.
#include "yaml/yaml_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yaml {
namespace {

std::vector<std::string> entries(Node mapping) {
  std::vector<std::string> seen;
  const auto visited = mapping.for_each_entry([&](std::string_view key, Node value) {
    seen.push_back(std::string(key) + "=" +
                   (value.is_scalar() ? std::string(value.scalar()) : std::string("{}")));
    return std::expected<void, std::string>{};
  });
  EXPECT_TRUE(visited);
  return seen;
}

TEST(YamlTree, ReadsMappingsInTextOrderWithTheirPlaces) {
  const auto document = Document::load(
      "# a comment\n"
      "zeta:\n"
      "  name: \"Z 1\"\n"
      "  kind: Milling\n"
      "alpha: {name: A, list: [1, 2]}\n"
      "pair: {first: second, second: value}\n"
      "empty:\n");
  ASSERT_TRUE(document) << document.error();
  const Node root = document->root();
  ASSERT_TRUE(root.is_mapping());
  EXPECT_EQ(entries(root), (std::vector<std::string>{"zeta={}", "alpha={}", "pair={}", "empty="}));
  const auto zeta = root.find("zeta");
  ASSERT_TRUE(zeta);
  EXPECT_EQ(entries(*zeta), (std::vector<std::string>{"name=Z 1", "kind=Milling"}));
  EXPECT_EQ(zeta->position(), " at line 3 column 3");
  EXPECT_EQ(root.find("alpha")->find("name")->position(), " at line 5 column 15");
  EXPECT_FALSE(root.find("ALPHA"));
  // A value is never taken for a key.
  EXPECT_EQ(root.find("pair")->find("second")->scalar(), "value");
  EXPECT_FALSE(root.find("alpha")->find("list")->is_mapping());
  EXPECT_FALSE(root.find("alpha")->find("list")->is_scalar());
}

TEST(YamlTree, AnAliasStandsForTheNodeItsAnchorNames) {
  const auto document = Document::load("base: &b {cam_type: AG}\nother: *b\n");
  ASSERT_TRUE(document) << document.error();
  const auto other = document->root().find("other");
  ASSERT_TRUE(other);
  EXPECT_EQ(entries(*other), (std::vector<std::string>{"cam_type=AG"}));
}

TEST(YamlTree, OnlyTheFirstDocumentIsRead) {
  const auto document = Document::load("a: b\n---\nc: [\n");
  ASSERT_TRUE(document) << document.error();
  EXPECT_EQ(entries(document->root()), (std::vector<std::string>{"a=b"}));
}

TEST(YamlTree, FaultsAreWordedAsLibyamlsLoaderWordsThem) {
  const struct {
    const char* text;
    const char* fault;
  } cases[] = {
      {"", "the text holds no document"},
      {"a: *nowhere\n", "found undefined alias at line 1 column 4"},
      {"a: &x 1\nb: &x 2\n",
       "second occurrence at line 2 column 4, found duplicate anchor; first occurrence at line "
       "1 column 4"},
      {"a: [b\n",
       "did not find expected ',' or ']' at line 2 column 1, while parsing a flow sequence at "
       "line 1 column 4"},
      {"a: b\n c: d\n", "mapping values are not allowed in this context at line 2 column 3"},
      {"{a: 1}: x\n", nullptr},  // reads; the key that is no text is found by the visit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto document = Document::load(c.text);
    if (c.fault == nullptr) {
      ASSERT_TRUE(document) << document.error();
      const auto visited = document->root().for_each_entry(
          [](std::string_view, Node) { return std::expected<void, std::string>{}; });
      ASSERT_FALSE(visited);
      EXPECT_EQ(visited.error(), "a mapping key is not a text at line 1 column 1");
      continue;
    }
    ASSERT_FALSE(document);
    EXPECT_EQ(document.error(), c.fault);
  }
}

}  // namespace
}  // namespace yaml
