// A small owning layer over libyaml's document trees, for the catalogs that
// the program carries as YAML texts. Faults are plain texts naming the
// place in the text; the catalogs decide what a fault means.
#pragma once

#include <yaml.h>

#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace yaml {

// One node of a loaded document; valid while its Document lives.
struct Node {
  yaml_document_t* document = nullptr;
  yaml_node_t* node = nullptr;

  bool is_mapping() const { return node->type == YAML_MAPPING_NODE; }
  bool is_scalar() const { return node->type == YAML_SCALAR_NODE; }
  std::string_view scalar() const;
  // " at line L column C" for the node's start.
  std::string position() const;
  // The value under `key` in a mapping node, if present.
  std::optional<Node> find(std::string_view key) const;

  // Calls visit(key, value) for each entry of a mapping node, in text order;
  // stops at and returns the first fault that visit returns.
  template <typename Visit>
  std::expected<void, std::string> for_each_entry(Visit&& visit) const;
};

class Document {
 public:
  // Reads `text` into a tree; fails with libyaml's description of the fault
  // and its line and column.
  static std::expected<Document, std::string> load(std::string_view text);

  Node root() const;

 private:
  struct Free {
    void operator()(yaml_document_t* document) const;
  };
  std::unique_ptr<yaml_document_t, Free> document_;
};

// The scalar text of `node`, or a fault naming `where` when it is not one.
std::expected<std::string, std::string> scalar_text(Node node, std::string_view where);

// The scalar under `key`, or a fault "missing field `key`" / not a text.
std::expected<std::string, std::string> required_text(Node entry, std::string_view key,
                                                      std::string_view where);

// The scalar under `key`, empty when the key is absent.
std::expected<std::string, std::string> optional_text(Node entry, std::string_view key,
                                                      std::string_view where);

template <typename Visit>
std::expected<void, std::string> Node::for_each_entry(Visit&& visit) const {
  for (yaml_node_pair_t* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top;
       ++pair) {
    Node key{document, yaml_document_get_node(document, pair->key)};
    Node value{document, yaml_document_get_node(document, pair->value)};
    if (!key.is_scalar()) return std::unexpected("a mapping key is not a text" + key.position());
    if (auto visited = visit(key.scalar(), value); !visited) return visited;
  }
  return {};
}

}  // namespace yaml
