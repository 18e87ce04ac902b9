#include "yaml/yaml_tree.h"

#include <string>

namespace yaml {

namespace {

std::string at_line_column(const yaml_mark_t& mark) {
  return " at line " + std::to_string(mark.line + 1) + " column " + std::to_string(mark.column + 1);
}

struct ParserGuard {
  yaml_parser_t parser;
  ParserGuard() { yaml_parser_initialize(&parser); }
  ~ParserGuard() { yaml_parser_delete(&parser); }
  ParserGuard(const ParserGuard&) = delete;
  ParserGuard& operator=(const ParserGuard&) = delete;
};

std::string describe_parser_fault(const yaml_parser_t& parser) {
  std::string text = parser.problem != nullptr ? parser.problem : "unknown fault";
  text += at_line_column(parser.problem_mark);
  if (parser.context != nullptr) {
    text += std::string(", ") + parser.context + at_line_column(parser.context_mark);
  }
  return text;
}

}  // namespace

void Document::Free::operator()(yaml_document_t* document) const {
  yaml_document_delete(document);
  delete document;
}

std::expected<Document, std::string> Document::load(std::string_view text) {
  ParserGuard guard;
  yaml_parser_set_input_string(&guard.parser, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  auto raw = std::make_unique<yaml_document_t>();
  if (yaml_parser_load(&guard.parser, raw.get()) == 0) {
    return std::unexpected(describe_parser_fault(guard.parser));
  }
  Document document;
  document.document_.reset(raw.release());
  if (yaml_document_get_root_node(document.document_.get()) == nullptr) {
    return std::unexpected(std::string("the text holds no document"));
  }
  return document;
}

Node Document::root() const {
  return Node{document_.get(), yaml_document_get_root_node(document_.get())};
}

std::string_view Node::scalar() const {
  return {reinterpret_cast<const char*>(node->data.scalar.value), node->data.scalar.length};
}

std::string Node::position() const { return at_line_column(node->start_mark); }

std::optional<Node> Node::find(std::string_view key) const {
  for (yaml_node_pair_t* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top;
       ++pair) {
    Node candidate{document, yaml_document_get_node(document, pair->key)};
    if (candidate.is_scalar() && candidate.scalar() == key) {
      return Node{document, yaml_document_get_node(document, pair->value)};
    }
  }
  return std::nullopt;
}

std::expected<std::string, std::string> scalar_text(Node node, std::string_view where) {
  if (!node.is_scalar()) {
    return std::unexpected(std::string(where) + ": expected a text" + node.position());
  }
  return std::string(node.scalar());
}

std::expected<std::string, std::string> required_text(Node entry, std::string_view key,
                                                      std::string_view where) {
  const auto value = entry.find(key);
  if (!value) {
    return std::unexpected(std::string(where) + ": missing field `" + std::string(key) + "`" +
                           entry.position());
  }
  return scalar_text(*value, std::string(where) + "." + std::string(key));
}

std::expected<std::string, std::string> optional_text(Node entry, std::string_view key,
                                                      std::string_view where) {
  const auto value = entry.find(key);
  if (!value) return std::string();
  return scalar_text(*value, std::string(where) + "." + std::string(key));
}

}  // namespace yaml
