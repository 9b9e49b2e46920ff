#pragma once

#include "engine/record/DocumentRecord.h"

#include <filesystem>
#include <string>

// Fill a record's property texts from the core and app parts, and its statistics (the text of each
// statistic's element) from the app part. Elements are recognised by namespace and local name among
// the root's direct children; dates become local "YYYY-MM-DD hh:mm:ss" texts, and a date text that
// is not a full date-time is kept as stored while the read goes on. The record is not cleared first
// and its flags are not touched. A part that cannot be read throws (xml::EXmlError); each part is
// read on its own.
namespace engine {

void ReadCoreProperties(DocumentRecord& record, const std::filesystem::path& path);
void ReadAppProperties(DocumentRecord& record, const std::filesystem::path& path);

void ReadCorePropertiesXml(DocumentRecord& record, const std::string& xmlText);
void ReadAppPropertiesXml(DocumentRecord& record, const std::string& xmlText);

} // namespace engine
