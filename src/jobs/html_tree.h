// What the readers of HTML (bookmarks files, lists of links saved as pages, the text a reader sees
// of a checked page) share of libxml2: the forgiving parse, the walk through the tree, the texts
// of its nodes as UTF-8, and the libxml2 handler kept quiet.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>

namespace tarvik {

struct HtmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using HtmlDoc = std::unique_ptr<xmlDoc, HtmlDocFree>;

// libxml2 reports the conversion errors of a declared charset through its generic handler,
// whatever the parse options say; a damaged file is no news for the terminal. Until the guard
// QuietLibxml gives goes, the handler says nothing.
using LibxmlQuiet = std::unique_ptr<void, void (*)(void*)>;
LibxmlQuiet QuietLibxml();

// `text` (UTF-8) parsed as a browser would take it, damage and all, without any network access
// and without a word on the terminal; `options` are further HTML_PARSE_ options. Null for a text
// longer than libxml2 takes.
HtmlDoc ParseHtmlText(std::string_view text, int options = 0);

bool IsElement(const xmlNode* node, const char* name);
// An attribute of `node`, "" when it has none.
std::string Attribute(const xmlNode* node, const char* name);
// All the text inside `node`, as it stands.
std::string NodeText(const xmlNode* node);

// `text` with every byte that is not part of UTF-8 replaced by U+FFFD. libxml2 passes a byte after
// "&" through unconverted, whatever the file's charset; such bytes would make titles and names
// that a job file cannot hold as text, and that read back as other characters.
std::string ValidUtf8(std::string text);

// The next node of a walk in document order through the nodes under `root` that does not enter
// `node` itself when `enter` is false. Calls `leave` for each element the walk climbs out of.
template <typename Leave>
xmlNode* NextNode(xmlNode* node, bool enter, const xmlNode* root, Leave&& leave) {
  if (enter && node->children) return node->children;
  while (node != root) {
    if (node->next) {
      leave(node);
      return node->next;
    }
    leave(node);
    node = node->parent;
    if (!node) return nullptr;
  }
  leave(node);
  return nullptr;
}

inline xmlNode* NextNode(xmlNode* node, bool enter, const xmlNode* root) {
  return NextNode(node, enter, root, [](xmlNode*) {});
}

}  // namespace tarvik
