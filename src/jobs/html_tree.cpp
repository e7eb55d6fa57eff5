#include "jobs/html_tree.h"

#include <glib.h>
#include <libxml/HTMLparser.h>

#include <climits>

namespace tarvik {

namespace {

void IgnoreMessage(void*, const char*, ...) {}

std::string ValidText(xmlChar* text) {
  std::string valid = ValidUtf8(text ? reinterpret_cast<const char*>(text) : "");
  xmlFree(text);
  return valid;
}

}  // namespace

LibxmlQuiet QuietLibxml() {
  struct Handler {
    xmlGenericErrorFunc func;
    void* context;
  };
  auto* old = new Handler{xmlGenericError, xmlGenericErrorContext};
  xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  return LibxmlQuiet(old, [](void* handler) {
    auto* was = static_cast<Handler*>(handler);
    xmlSetGenericErrorFunc(was->context, was->func);
    delete was;
  });
}

HtmlDoc ParseHtmlText(std::string_view text, int options) {
  static const bool initialized = [] {
    xmlInitParser();
    return true;
  }();
  (void)initialized;
  if (text.size() > INT_MAX) return nullptr;
  options |= HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
             XML_PARSE_HUGE;
  const LibxmlQuiet quiet = QuietLibxml();
  return HtmlDoc(
      htmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", options));
}

bool IsElement(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->name &&
         xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

std::string Attribute(const xmlNode* node, const char* name) {
  return ValidText(xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)));
}

std::string NodeText(const xmlNode* node) { return ValidText(xmlNodeGetContent(node)); }

std::string ValidUtf8(std::string text) {
  if (g_utf8_validate_len(text.data(), text.size(), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  text = valid;
  g_free(valid);
  return text;
}

}  // namespace tarvik
