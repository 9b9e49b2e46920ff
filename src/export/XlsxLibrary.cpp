#include "export/XlsxLibrary.h"

#include "export/ExportError.h"

#include <dlfcn.h>
#include <string>

namespace exporting {

namespace {

template <typename Function> void Bind(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr) {
        throw EExportError(std::string("The spreadsheet library lacks ") + name + ".");
    }
}

XlsxLibrary Load()
{
    // Never unloaded: the functions stay valid for the rest of the run.
    void* handle = dlopen(VELMORA_XLSXWRITER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        throw EExportError(std::string("Cannot load the spreadsheet library ") + VELMORA_XLSXWRITER_LIBRARY +
                           ": " + (reason != nullptr ? reason : "unknown reason"));
    }
    XlsxLibrary library{};
#define VELMORA_BIND(name) Bind(handle, #name, library.name)
    VELMORA_BIND(workbook_new_opt);
    VELMORA_BIND(workbook_add_worksheet);
    VELMORA_BIND(workbook_add_format);
    VELMORA_BIND(workbook_close);
    VELMORA_BIND(lxw_workbook_free);
    VELMORA_BIND(lxw_strerror);
    VELMORA_BIND(format_set_bold);
    VELMORA_BIND(format_set_align);
    VELMORA_BIND(format_set_border);
    VELMORA_BIND(format_set_text_wrap);
    VELMORA_BIND(worksheet_merge_range);
    VELMORA_BIND(worksheet_write_string);
    VELMORA_BIND(worksheet_set_row);
    VELMORA_BIND(worksheet_set_column);
#undef VELMORA_BIND
    return library;
}

} // namespace

const XlsxLibrary& Xlsx()
{
    // A failed load throws out of the initialisation, so the next call tries again.
    static const XlsxLibrary library = Load();
    return library;
}

} // namespace exporting
