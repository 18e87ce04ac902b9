// A small owning tree of YAML documents, for the catalogs that the program
// carries as YAML texts. libyaml reads the text; the tree is composed here
// from its events, in a few flat arrays: libyaml's own document tree takes
// a node record, a pair stack and a copy of every scalar apiece, which is
// most of a small run's memory and much of its time. Faults are plain texts
// naming the place in the text; the catalogs decide what a fault means.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yaml {

// The composed document: every node, the children of its collections (a
// mapping's as key, value, key, value, ...) and the scalars' texts.
struct Tree {
  enum class Kind : std::uint8_t { Scalar, Sequence, Mapping };
  struct NodeRecord {
    Kind kind = Kind::Scalar;
    std::uint32_t line = 0;    // of its start, from 0
    std::uint32_t column = 0;  // of its start, from 0
    // A scalar: its text in `texts`; a collection: its children in
    // `children`.
    std::size_t first = 0;
    std::size_t count = 0;
  };
  std::vector<NodeRecord> nodes;
  std::vector<std::uint32_t> children;
  std::string texts;
};

// One node of a loaded document; valid while its Document lives.
struct Node {
  const Tree* tree = nullptr;
  std::uint32_t index = 0;

  bool is_mapping() const { return record().kind == Tree::Kind::Mapping; }
  bool is_scalar() const { return record().kind == Tree::Kind::Scalar; }
  std::string_view scalar() const;
  // " at line L column C" for the node's start.
  std::string position() const;
  // The value under `key` in a mapping node, if present.
  std::optional<Node> find(std::string_view key) const;

  // Calls visit(key, value) for each entry of a mapping node, in text order;
  // stops at and returns the first fault that visit returns.
  template <typename Visit>
  std::expected<void, std::string> for_each_entry(Visit&& visit) const;

 private:
  const Tree::NodeRecord& record() const { return tree->nodes[index]; }
  Node child(std::size_t k) const { return Node{tree, tree->children[record().first + k]}; }
};

class Document {
 public:
  // Reads the first document of `text` into a tree; fails with libyaml's
  // description of the fault and its line and column.
  static std::expected<Document, std::string> load(std::string_view text);

  Node root() const { return Node{tree_.get(), root_}; }

 private:
  // On the heap, so that nodes stay valid when the Document moves.
  std::unique_ptr<Tree> tree_;
  std::uint32_t root_ = 0;
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
  if (!is_mapping()) return {};
  for (std::size_t k = 0; k + 1 < record().count; k += 2) {
    const Node key = child(k);
    if (!key.is_scalar()) return std::unexpected("a mapping key is not a text" + key.position());
    if (auto visited = visit(key.scalar(), child(k + 1)); !visited) return visited;
  }
  return {};
}

}  // namespace yaml
