#pragma once

#include <string>
#include <string_view>

namespace zelklib {

// The charset a reply declares: the "charset" parameter of its Content-Type, else for HTML a
// <meta charset> or <meta http-equiv="Content-Type" content="...charset=..."> near its start;
// empty when it declares none. Names are returned lower-case.
std::string DeclaredCharset(std::string_view contentType, std::string_view body);

// The codeset iconv should use for a declared name: the Chinese names (gb2312, gbk, x-gbk,
// gb18030) all become GB18030, which reads every one of them; empty means UTF-8.
std::string CodesetForCharset(const std::string& charset);

// A reply body as UTF-16: a byte-order mark wins, else the declared charset, else UTF-8.
// Bytes the charset cannot read become U+FFFD instead of losing the whole reply.
std::u16string DecodeReplyBody(std::string_view body, std::string_view contentType);

}  // namespace zelklib
