// The text a reader sees of a page, as blocks, and its fingerprint: what Tarvik keeps of an
// entry the user saw and what a check of the job compares with it.
//
// The text leaves out scripts, styles, templates, noscript, the head, comments, attributes
// (hidden form values, nonces, ids, script addresses), embedded frames and media, and elements
// hidden by the `hidden` attribute or an inline `display:none` / `visibility:hidden`. Runs of white
// space (no-break spaces included) fold into one space. Each block element (a paragraph, a list
// item, a heading, a table cell, a line break...) ends a block, so a later comparison can say which
// blocks are new. The same rules serve the page as the user saw it and the page as a check fetched
// it, so two looks at an unchanged page compare alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct VisibleText {
  std::vector<std::string> blocks;  // UTF-8, each folded, none empty, none holding a line break
  std::string fingerprint;          // VisibleTextFingerprint(blocks)
  // The page holds scripts and, without them, next to no text (fewer than
  // kScriptedPageTextLimit characters): its text comes only from a rendered page.
  bool needs_scripts = false;
};

inline constexpr size_t kScriptedPageTextLimit = 100;

// An HTML document's bytes → its visible text. `charset` is the one the response named
// (Content-Type), "" when none: then the document's own <meta> decides, else UTF-8.
VisibleText ExtractVisibleText(std::string_view html, std::string_view charset = {});

// A response's body by its type: HTML and XHTML (and no type) as ExtractVisibleText; plain text
// as its lines; anything else (a picture, a PDF) as one block of its size and its bytes' hash,
// so that a change still shows. What the user saw and what a check fetched both go through it.
VisibleText ExtractResponseText(std::string_view body, std::string_view mime_type,
                                std::string_view charset = {});

// Blocks taken elsewhere (the rendered page, through kVisibleTextScript) → the same form:
// each folded, empty ones dropped, the fingerprint computed. Never `needs_scripts`.
VisibleText VisibleTextFromBlocks(const std::vector<std::string>& raw_blocks);

// A stable hash of the blocks joined by line breaks: 32 hexadecimal digits (SHA-256's first half).
std::string VisibleTextFingerprint(const std::vector<std::string>& blocks);

// White space folded: runs of spaces, tabs, line breaks and no-break spaces become one space;
// none at either end.
std::string FoldWhiteSpace(std::string_view text);

// A script that walks a rendered document by the same rules (with the computed style deciding
// what is hidden) and returns its blocks joined by "\n". Run in a script world of Tarvik's own.
extern const char kVisibleTextScript[];

// The blocks of a script's result (kVisibleTextScript's string).
VisibleText VisibleTextFromScriptResult(std::string_view joined);

}  // namespace tarvik
