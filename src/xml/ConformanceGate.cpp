#include "xml/ConformanceGate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <expat.h>
#include <memory>
#include <optional>
#include <random>
#include <string>

namespace xml {
namespace {

struct ParserDeleter
{
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

constexpr std::size_t kKeptParserLimit = 256 * 1024;

// One hash salt for the process, drawn once: expat would otherwise ask the kernel for a fresh one
// on every document, and a load reads three small documents per package.
unsigned long ProcessHashSalt()
{
    static const unsigned long salt = [] {
        std::random_device source;
        const unsigned long value = (static_cast<unsigned long>(source()) << 32U) ^ source();
        return value == 0 ? 1UL : value;
    }();
    return salt;
}

// A parser per thread, reset between documents: reset keeps its buffers and string pools, which
// a new parser would allocate again for every document. Null when expat is out of memory.
ParserHandle& ThreadParserHandle()
{
    thread_local ParserHandle parser;
    return parser;
}

XML_Parser ThreadParser(const char* encoding)
{
    ParserHandle& parser = ThreadParserHandle();
    if (!parser) {
        parser.reset(XML_ParserCreate(encoding));
    } else if (XML_ParserReset(parser.get(), encoding) == XML_FALSE) {
        parser.reset(XML_ParserCreate(encoding));
    }
    if (parser) {
        XML_SetHashSalt(parser.get(), ProcessHashSalt());
    }
    return parser.get();
}

struct GateState
{
    XML_Parser Parser = nullptr;
    std::string Refusal; // set by a handler that stopped the parser
    std::size_t Depth = 0;
    std::size_t RootStart = std::string_view::npos;
    std::size_t RootEnd = std::string_view::npos;
};

void XMLCALL ElementStarts(void* data, const XML_Char*, const XML_Char**)
{
    auto& state = *static_cast<GateState*>(data);
    if (state.Depth++ == 0) {
        state.RootStart = static_cast<std::size_t>(XML_GetCurrentByteIndex(state.Parser));
    }
}

void XMLCALL ElementEnds(void* data, const XML_Char*)
{
    auto& state = *static_cast<GateState*>(data);
    if (--state.Depth == 0) {
        // The end tag, or the whole empty-element tag of an empty root.
        state.RootEnd = static_cast<std::size_t>(XML_GetCurrentByteIndex(state.Parser)) +
                        static_cast<std::size_t>(XML_GetCurrentByteCount(state.Parser));
    }
}

void XMLCALL RefuseEntityDeclaration(void* data,
                                     const XML_Char* name,
                                     int isParameterEntity,
                                     const XML_Char*,
                                     int,
                                     const XML_Char*,
                                     const XML_Char*,
                                     const XML_Char*,
                                     const XML_Char*)
{
    auto& state = *static_cast<GateState*>(data);
    state.Refusal =
        std::string("entity declarations are not supported (") + (isParameterEntity ? "%" : "") + name + ")";
    XML_StopParser(state.Parser, XML_FALSE);
}

// A reference expat could not resolve without reading an external subset.
void XMLCALL RefuseSkippedEntity(void* data, const XML_Char* name, int)
{
    auto& state = *static_cast<GateState*>(data);
    state.Refusal = std::string("undefined entity &") + name + ";";
    XML_StopParser(state.Parser, XML_FALSE);
}

struct GateResult
{
    XML_Error Code = XML_ERROR_NONE;
    ConformanceResult Result;
};

GateResult Parse(std::string_view bytes, const char* encoding)
{
    XML_Parser parser = ThreadParser(encoding);
    if (parser == nullptr) {
        return {XML_ERROR_NO_MEMORY, {"out of memory"}};
    }
    // What a large document made the parser hold is not kept for the next one.
    struct ReleaseAfterLarge
    {
        std::size_t Size;
        ~ReleaseAfterLarge()
        {
            if (Size > kKeptParserLimit) {
                ThreadParserHandle().reset();
            }
        }
    } release{bytes.size()};
    GateState state;
    state.Parser = parser;
    XML_SetUserData(parser, &state);
    XML_SetEntityDeclHandler(parser, RefuseEntityDeclaration);
    XML_SetSkippedEntityHandler(parser, RefuseSkippedEntity);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(parser, ElementStarts, ElementEnds);

    constexpr std::size_t kChunk = 1U << 20;
    std::size_t done = 0;
    XML_Status status = XML_STATUS_OK;
    do {
        const std::size_t size = std::min(kChunk, bytes.size() - done);
        const bool last = done + size == bytes.size();
        status =
            XML_Parse(parser, bytes.data() + done, static_cast<int>(size), last ? XML_TRUE : XML_FALSE);
        done += size;
    } while (status == XML_STATUS_OK && done < bytes.size());
    if (status == XML_STATUS_OK) {
        return {XML_ERROR_NONE, {{}, state.RootStart, state.RootEnd}};
    }
    const XML_Error code = XML_GetErrorCode(parser);
    std::string what = state.Refusal.empty() ? XML_ErrorString(code) : state.Refusal;
    what += " at line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ", column " +
            std::to_string(XML_GetCurrentColumnNumber(parser) + 1) + " (offset " +
            std::to_string(XML_GetCurrentByteIndex(parser)) + ")";
    return {code, {what}};
}

// pugixml recognises UTF-32 by its byte order mark or by the pattern of a leading '<'.
std::optional<bool> Utf32BigEndian(std::string_view bytes)
{
    if (bytes.size() < 4) {
        return std::nullopt;
    }
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if ((b(0) == 0 && b(1) == 0 && b(2) == 0xFE && b(3) == 0xFF) ||
        (b(0) == 0 && b(1) == 0 && b(2) == 0 && b(3) == '<')) {
        return true;
    }
    if ((b(0) == 0xFF && b(1) == 0xFE && b(2) == 0 && b(3) == 0) ||
        (b(0) == '<' && b(1) == 0 && b(2) == 0 && b(3) == 0)) {
        return false;
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-32 as UTF-8 without the byte order mark, or an empty optional when a unit is no character.
std::optional<std::string> Utf32ToUtf8(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(bytes.size() / 4);
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t code = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const auto byte = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
            code = (code << 8) | byte;
        }
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (i == 0 && code == 0xFEFF) {
            continue;
        }
        AppendUtf8(out, code);
    }
    return out;
}

// Documents this thread's gate accepted lately, by their exact bytes. A save reads again the
// parts its load has just read, and packages from one producer share their relationship part byte
// for byte; the verdict depends on the bytes alone, so a repeat is answered from here. Only small
// documents are kept, and only accepted ones: a refusal is rare and its message names a position.
class AcceptedDocuments
{
public:
    static constexpr std::size_t kLargestKept = 32 * 1024;

    [[nodiscard]] const ConformanceResult* Find(std::string_view bytes, std::size_t hash) const
    {
        for (const Entry& entry : m_entries) {
            if (entry.Filled && entry.Hash == hash && entry.Bytes == bytes) {
                return &entry.Result;
            }
        }
        return nullptr;
    }

    // Replaces the oldest entry; its string keeps its capacity, so a steady run allocates nothing.
    void Remember(std::string_view bytes, std::size_t hash, const ConformanceResult& result)
    {
        Entry& entry = m_entries[m_next];
        m_next = (m_next + 1) % m_entries.size();
        entry.Filled = true;
        entry.Hash = hash;
        entry.Bytes.assign(bytes);
        entry.Result = result;
    }

private:
    struct Entry
    {
        bool Filled = false;
        std::size_t Hash = 0;
        std::string Bytes;
        ConformanceResult Result;
    };

    std::array<Entry, 8> m_entries;
    std::size_t m_next = 0;
};

AcceptedDocuments& ThreadAcceptedDocuments()
{
    thread_local AcceptedDocuments documents;
    return documents;
}

ConformanceResult CheckUnseen(std::string_view bytes)
{
    if (const auto bigEndian = Utf32BigEndian(bytes)) {
        const auto utf8 = Utf32ToUtf8(bytes, *bigEndian);
        if (!utf8) {
            return {"invalid UTF-32"};
        }
        ConformanceResult result = Parse(*utf8, "UTF-8").Result;
        result.RootStart = result.RootEnd = std::string_view::npos; // offsets into the converted text
        return result;
    }
    GateResult result = Parse(bytes, nullptr);
    if (result.Code == XML_ERROR_UNKNOWN_ENCODING) {
        // Read as UTF-8, which is the same text only while it is ASCII.
        const auto high = std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
        if (high != bytes.end()) {
            return {"the declared encoding is not supported for text beyond ASCII (byte 0x" +
                    std::string(1, "0123456789ABCDEF"[(static_cast<unsigned char>(*high) >> 4)]) +
                    std::string(1, "0123456789ABCDEF"[static_cast<unsigned char>(*high) & 0xF]) +
                    " at offset " + std::to_string(high - bytes.begin()) + ")"};
        }
        result = Parse(bytes, "UTF-8");
    }
    return result.Result;
}

} // namespace

ConformanceResult CheckConformance(std::string_view bytes)
{
    if (bytes.size() > AcceptedDocuments::kLargestKept) {
        return CheckUnseen(bytes);
    }
    AcceptedDocuments& accepted = ThreadAcceptedDocuments();
    const std::size_t hash = std::hash<std::string_view>{}(bytes);
    if (const ConformanceResult* known = accepted.Find(bytes, hash)) {
        return *known;
    }
    ConformanceResult result = CheckUnseen(bytes);
    if (result.Problem.empty()) {
        accepted.Remember(bytes, hash, result);
    }
    return result;
}

} // namespace xml
