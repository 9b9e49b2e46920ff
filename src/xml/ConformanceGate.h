#pragma once

#include <string>
#include <string_view>

// The well-formedness gate. Every document the service loads, and every document it writes, is
// first read by expat, a conforming non-validating XML 1.0 parser (namespace processing off, no
// external entities). pugixml, the document model, accepts much that is not XML; nothing passes
// here that expat refuses. Beyond well-formedness the gate refuses entity declarations, so that no
// entity other than the predefined ones is ever expanded.
//
// Encodings: UTF-8, UTF-16, ISO-8859-1 and US-ASCII as expat reads them; UTF-32 (which pugixml
// reads and writes) is transcoded for the check; a document that declares any other encoding is
// read as UTF-8 and accepted only when it holds no byte above 0x7F.
namespace xml {

struct ConformanceResult
{
    // Why the bytes are not a well-formed document ("... at line L, column C (offset O)"); empty
    // when they are.
    std::string Problem;
    // Where the root element starts ('<') and ends (after its last '>') as byte offsets into the
    // bytes, as the parser found them; set for accepted documents that were not transcoded.
    std::size_t RootStart = std::string_view::npos;
    std::size_t RootEnd = std::string_view::npos;
};

[[nodiscard]] ConformanceResult CheckConformance(std::string_view bytes);

[[nodiscard]] inline std::string ConformanceProblem(std::string_view bytes)
{
    return CheckConformance(bytes).Problem;
}

} // namespace xml
