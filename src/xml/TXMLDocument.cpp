#include "xml/TXMLDocument.h"

#include "xml/ByteOrderMark.h"
#include "xml/ConformanceGate.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace xml {
namespace {

// Everything the document holds is kept: declaration, document type, comments, processing
// instructions and whitespace-only text (a property made only of blanks is a real value). Line ends
// are left as written so that untouched text is saved byte for byte; NodeText normalises them.
constexpr unsigned kParseOptions = (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_eol;
constexpr unsigned kSaveOptions = pugi::format_raw | pugi::format_no_declaration;

class StringWriter : public pugi::xml_writer
{
public:
    explicit StringWriter(std::string& out)
        : m_out(out)
    {}

    void write(const void* data, size_t size) override { m_out.append(static_cast<const char*>(data), size); }

private:
    std::string& m_out;
};

bool IsAsciiCompatible(pugi::xml_encoding encoding)
{
    return encoding == pugi::encoding_utf8 || encoding == pugi::encoding_latin1;
}

} // namespace

namespace {

// Whether the prolog holds "<!" markup other than comments (a document type declaration).
bool HasMarkupDeclaration(std::string_view prolog)
{
    for (auto pos = prolog.find("<!"); pos != std::string_view::npos; pos = prolog.find("<!", pos + 2)) {
        if (prolog.substr(pos, 4) != "<!--") {
            return true;
        }
    }
    return false;
}

// Whether the root element, parsed on its own, is the one the whole document parsed to.
bool RootParsesAlike(std::string_view rootText, const pugi::xml_document& whole, pugi::xml_encoding encoding)
{
    pugi::xml_document rootOnly;
    return rootOnly.load_buffer(rootText.data(), rootText.size(), kParseOptions, encoding) &&
           std::strcmp(rootOnly.document_element().name(), whole.document_element().name()) == 0;
}

} // namespace

void TXMLDocument::LoadFromText(const std::string& text)
{
    Load(text, "XML text");
}

void TXMLDocument::LoadFromFile(const std::filesystem::path& path)
{
    m_doc.reset();
    m_loaded = false;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw EXmlError(path.string() + ": cannot open the file");
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        throw EXmlError(path.string() + ": cannot read the file");
    }
    Load(bytes.str(), path.string());
}

void TXMLDocument::Load(const std::string& bytes, const std::string& origin)
{
    m_doc.reset();
    m_loaded = false;
    m_rawTopLevel = false;
    m_prolog.clear();
    m_epilog.clear();

    const ConformanceResult conformance = CheckConformance(bytes);
    if (!conformance.Problem.empty()) {
        throw EXmlError(origin + ": not well-formed XML: " + conformance.Problem);
    }
    const auto result = m_doc.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (!result) {
        // Well-formed, but beyond what the document model reads (pugixml's own limits).
        m_doc.reset();
        throw EXmlError(origin + ": unsupported XML: " + result.description() + " at offset " +
                        std::to_string(result.offset));
    }
    m_encoding = result.encoding;
    const std::size_t bomLength = ByteOrderMarkLength(bytes);
    m_bom = bytes.substr(0, bomLength);
    if (IsAsciiCompatible(m_encoding)) {
        keepTopLevel(bytes, bomLength, conformance, origin);
    }
    m_loaded = true;
    // A kept document type declaration is the one piece the service delimits itself; where its
    // reading and the parser's could differ, the document must come back from its own save.
    if (m_rawTopLevel && m_prolog.find("<!DOCTYPE") != std::string::npos) {
        const std::string saved = Serialize();
        pugi::xml_document again;
        if (!again.load_buffer(saved.data(), saved.size(), kParseOptions, m_encoding) ||
            std::strcmp(again.document_element().name(), m_doc.document_element().name()) != 0) {
            m_doc.reset();
            m_loaded = false;
            throw EXmlError(origin + ": unsupported XML: document type declaration read differently");
        }
    }
}

void TXMLDocument::keepTopLevel(const std::string& bytes,
                                std::size_t bomLength,
                                const ConformanceResult& conformance,
                                const std::string& origin)
{
    const std::string_view text(bytes);
    // The root element is where the conforming parser found it.
    const std::optional<std::size_t> rootStart =
        conformance.RootStart == std::string_view::npos ? std::nullopt : std::optional(conformance.RootStart);
    const std::size_t rootEnd = conformance.RootEnd;
    if (!rootStart || *rootStart < bomLength || rootEnd > text.size() || rootEnd <= *rootStart ||
        text[rootEnd - 1] != '>') {
        m_doc.reset();
        throw EXmlError(origin + ": unsupported XML: the top level could not be delimited");
    }
    // The prolog is kept as written, so it must end where the parser's root element begins. A
    // document type declaration that the two read differently would put part of the root into
    // the prolog, and every save would then write that part twice.
    // A prolog of only the declaration, processing instructions, comments and blanks reads
    // alike in both, so the second parse is needed only when it holds some other "<!" markup.
    if (HasMarkupDeclaration(text.substr(0, *rootStart)) &&
        !RootParsesAlike(text.substr(*rootStart, rootEnd - *rootStart), m_doc, m_encoding)) {
        m_doc.reset();
        throw EXmlError(origin + ": unsupported XML: document type declaration read differently");
    }
    m_prolog = bytes.substr(bomLength, *rootStart - bomLength);
    m_epilog = bytes.substr(rootEnd);
    m_rawTopLevel = true;
}

bool TXMLDocument::IsLoaded() const
{
    return m_loaded;
}

TXMLNode TXMLDocument::DocumentElement() const
{
    return m_doc.document_element();
}

void TXMLDocument::RequireEditable(TXMLNode node) const
{
    if (!m_loaded || !node || node.root() != m_doc.root()) {
        throw EXmlError("the node does not belong to this document");
    }
    if (node.type() == pugi::node_document) {
        throw EXmlError("the top level of the document cannot be edited");
    }
}

std::string TXMLDocument::SaveToText() const
{
    std::string text = Serialize();
    // Nothing is handed out that the service itself, or any other reader, could not read back.
    if (auto problem = ConformanceProblem(text); m_loaded && !problem.empty()) {
        throw EXmlError("the edited document would not be well-formed XML: " + problem);
    }
    return text;
}

std::string TXMLDocument::Serialize() const
{
    std::string out;
    if (!m_loaded) {
        return out;
    }
    StringWriter writer(out);
    if (m_rawTopLevel) {
        out = m_bom + m_prolog;
        DocumentElement().print(writer, "", kSaveOptions, m_encoding);
        out += m_epilog;
    } else {
        m_doc.save(writer, "", kSaveOptions | (m_bom.empty() ? 0U : pugi::format_write_bom), m_encoding);
    }
    return out;
}

void TXMLDocument::SaveToFile(const std::filesystem::path& path) const
{
    if (!m_loaded) {
        throw EXmlError(path.string() + ": no document to save");
    }
    const std::string text = SaveToText();
    // Written beside the target and renamed over it, so a failed write leaves the old file whole.
    std::filesystem::path temporary = path;
    temporary += ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw EXmlError(path.string() + ": cannot write the file");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw EXmlError(path.string() + ": cannot replace the file: " + ec.message());
    }
}

} // namespace xml
