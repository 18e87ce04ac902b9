#include "yaml/yaml_tree.h"

#include <yaml.h>

#include <string>
#include <utility>

namespace yaml {

namespace {

std::string at_line_column(std::size_t line, std::size_t column) {
  return " at line " + std::to_string(line + 1) + " column " + std::to_string(column + 1);
}

std::string at_line_column(const yaml_mark_t& mark) {
  return at_line_column(mark.line, mark.column);
}

struct ParserGuard {
  yaml_parser_t parser;
  ParserGuard() { yaml_parser_initialize(&parser); }
  ~ParserGuard() { yaml_parser_delete(&parser); }
  ParserGuard(const ParserGuard&) = delete;
  ParserGuard& operator=(const ParserGuard&) = delete;
};

struct EventGuard {
  yaml_event_t event{};
  ~EventGuard() { yaml_event_delete(&event); }
};

// A fault as libyaml words it: the problem and its place, then the context
// and its place when there is one.
std::string describe_fault(const char* problem, const yaml_mark_t& problem_mark,
                           const char* context, const yaml_mark_t& context_mark) {
  std::string text = problem != nullptr ? problem : "unknown fault";
  text += at_line_column(problem_mark);
  if (context != nullptr) text += std::string(", ") + context + at_line_column(context_mark);
  return text;
}

std::string describe_parser_fault(const yaml_parser_t& parser) {
  return describe_fault(parser.problem, parser.problem_mark, parser.context, parser.context_mark);
}

struct Anchor {
  std::string name;
  std::uint32_t node;
  yaml_mark_t mark;
};

// Builds the tree from the events of one document, as libyaml's own loader
// would: an alias stands for the node its anchor names.
class Composer {
 public:
  explicit Composer(Tree& tree) : tree_(tree) {}

  // Takes one event inside the document; a fault as libyaml's loader words
  // it.
  std::expected<void, std::string> take(const yaml_event_t& event) {
    switch (event.type) {
      case YAML_ALIAS_EVENT:
        return take_alias(event);
      case YAML_SCALAR_EVENT: {
        const auto& scalar = event.data.scalar;
        const std::uint32_t node = add(Tree::Kind::Scalar, event.start_mark);
        tree_.nodes[node].first = tree_.texts.size();
        tree_.nodes[node].count = scalar.length;
        tree_.texts.append(reinterpret_cast<const char*>(scalar.value), scalar.length);
        pending_.push_back(node);
        return name_anchor(scalar.anchor, node, event.start_mark);
      }
      case YAML_SEQUENCE_START_EVENT:
        return open(Tree::Kind::Sequence, event, event.data.sequence_start.anchor);
      case YAML_MAPPING_START_EVENT:
        return open(Tree::Kind::Mapping, event, event.data.mapping_start.anchor);
      case YAML_SEQUENCE_END_EVENT:
      case YAML_MAPPING_END_EVENT:
        close();
        return {};
      default:
        return {};
    }
  }

  // The document's one top node, once its end has come.
  std::uint32_t root() const { return pending_.empty() ? 0 : pending_.front(); }

 private:
  struct Open {
    std::uint32_t node;
    std::size_t first_child;  // in pending_
  };

  std::uint32_t add(Tree::Kind kind, const yaml_mark_t& start) {
    tree_.nodes.push_back(Tree::NodeRecord{kind, static_cast<std::uint32_t>(start.line),
                                           static_cast<std::uint32_t>(start.column), 0, 0});
    return static_cast<std::uint32_t>(tree_.nodes.size() - 1);
  }

  std::expected<void, std::string> open(Tree::Kind kind, const yaml_event_t& event,
                                        const yaml_char_t* anchor) {
    const std::uint32_t node = add(kind, event.start_mark);
    open_.push_back(Open{node, pending_.size()});
    return name_anchor(anchor, node, event.start_mark);
  }

  // A collection's children are the nodes finished since it opened.
  void close() {
    const Open done = open_.back();
    open_.pop_back();
    Tree::NodeRecord& record = tree_.nodes[done.node];
    record.first = tree_.children.size();
    record.count = pending_.size() - done.first_child;
    tree_.children.insert(tree_.children.end(),
                          pending_.begin() + static_cast<std::ptrdiff_t>(done.first_child),
                          pending_.end());
    pending_.resize(done.first_child);
    pending_.push_back(done.node);
  }

  std::expected<void, std::string> take_alias(const yaml_event_t& event) {
    const std::string_view name = reinterpret_cast<const char*>(event.data.alias.anchor);
    for (const Anchor& anchor : anchors_) {
      if (anchor.name == name) {
        pending_.push_back(anchor.node);
        return {};
      }
    }
    return std::unexpected(
        describe_fault("found undefined alias", event.start_mark, nullptr, event.start_mark));
  }

  std::expected<void, std::string> name_anchor(const yaml_char_t* anchor, std::uint32_t node,
                                               const yaml_mark_t& mark) {
    if (anchor == nullptr) return {};
    const std::string_view name = reinterpret_cast<const char*>(anchor);
    for (const Anchor& earlier : anchors_) {
      if (earlier.name == name) {
        return std::unexpected(describe_fault(
            "second occurrence", mark, "found duplicate anchor; first occurrence", earlier.mark));
      }
    }
    anchors_.push_back(Anchor{std::string(name), node, mark});
    return {};
  }

  Tree& tree_;
  std::vector<std::uint32_t> pending_;
  std::vector<Open> open_;
  std::vector<Anchor> anchors_;
};

}  // namespace

std::expected<Document, std::string> Document::load(std::string_view text) {
  ParserGuard guard;
  yaml_parser_set_input_string(&guard.parser, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  auto tree = std::make_unique<Tree>();
  Composer composer(*tree);
  bool in_document = false;
  for (;;) {
    EventGuard next;
    if (yaml_parser_parse(&guard.parser, &next.event) == 0) {
      return std::unexpected(describe_parser_fault(guard.parser));
    }
    const yaml_event_type_t type = next.event.type;
    if (type == YAML_STREAM_END_EVENT)
      return std::unexpected(std::string("the text holds no document"));
    if (type == YAML_DOCUMENT_START_EVENT) in_document = true;
    if (type == YAML_DOCUMENT_END_EVENT) break;
    if (!in_document) continue;
    if (auto taken = composer.take(next.event); !taken) return std::unexpected(taken.error());
  }
  Document document;
  document.tree_ = std::move(tree);
  document.root_ = composer.root();
  return document;
}

std::string_view Node::scalar() const {
  return std::string_view(tree->texts).substr(record().first, record().count);
}

std::string Node::position() const { return at_line_column(record().line, record().column); }

std::optional<Node> Node::find(std::string_view key) const {
  if (!is_mapping()) return std::nullopt;
  for (std::size_t k = 0; k + 1 < record().count; k += 2) {
    const Node candidate = child(k);
    if (candidate.is_scalar() && candidate.scalar() == key) return child(k + 1);
  }
  return std::nullopt;
}

std::expected<std::string, std::string> scalar_text(Node node, std::string_view where) {
  if (!node.is_scalar()) {
    return std::unexpected(std::string(where) + ": expected a text" + node.position());
  }
  return std::string(node.scalar());
}

namespace {

// The text of the field `key` of the entry at `where`; the field's place
// is put together only when there is a fault.
std::expected<std::string, std::string> field_text(Node value, std::string_view where,
                                                   std::string_view key) {
  if (value.is_scalar()) return std::string(value.scalar());
  return scalar_text(value, std::string(where) + "." + std::string(key));
}

}  // namespace

std::expected<std::string, std::string> required_text(Node entry, std::string_view key,
                                                      std::string_view where) {
  const auto value = entry.find(key);
  if (!value) {
    return std::unexpected(std::string(where) + ": missing field `" + std::string(key) + "`" +
                           entry.position());
  }
  return field_text(*value, where, key);
}

std::expected<std::string, std::string> optional_text(Node entry, std::string_view key,
                                                      std::string_view where) {
  const auto value = entry.find(key);
  if (!value) return std::string();
  return field_text(*value, where, key);
}

}  // namespace yaml
