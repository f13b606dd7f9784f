#include "enginecommands/EngineCommands.h"

#include <pugixml.hpp>

#include <filesystem>

#include "enginecommands/HardcodedCommands.h"
#include "platform/BinaryStream.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

// The text a node holds as its first child, if that child is text.
const char* FirstChildText(const pugi::xml_node& node) {
    pugi::xml_node child = node.first_child();
    if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) {
        return nullptr;
    }
    return child.value();
}

// Entries are numbered as a user counts the elements in the file: from 1. The parse drops
// comments, so they take no number.
std::string EntryProblem(size_t number, const char* what) {
    return "entry " + platform::Str(static_cast<int64_t>(number)) + " " + what;
}

}  // namespace

EngineCommandTable HardcodedCommandTable() {
    EngineCommandTable table;
    table.reserve(kHardcodedCommandCount);
    const auto& names = HardcodedCommands();
    for (size_t key = 0; key < names.size(); ++key) {
        table[static_cast<double>(key)] = std::string(names[key]);
    }
    return table;
}

ComDatResult ReadComDat(const std::string& path) {
    ComDatResult result;
    // Read through the stream, which refuses a pipe or a folder without waiting on it; pugixml
    // would open the file by itself.
    platform::BinaryStream::OpenFailure failure{};
    auto stream =
        platform::BinaryStream::Open(path, platform::BinaryStream::Mode::ReadOnly, &failure);
    if (!stream) {
        result.problem = failure == platform::BinaryStream::OpenFailure::NotRegularFile
                             ? "it is not a regular file"
                             : "it could not be opened";
        return result;
    }
    const std::string bytes = stream->Read(stream->Length());
    stream.reset();
    pugi::xml_document document;
    // The default parse drops whitespace-only text between elements.
    pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
    if (!parsed) {
        result.problem = std::string(parsed.description()) + " at byte " +
                         platform::Str(static_cast<int64_t>(parsed.offset));
        return result;
    }
    pugi::xml_node root = document.document_element();
    if (!root) {
        result.problem = "there is no root element";
        return result;
    }
    size_t entries = 0;
    for (pugi::xml_node entry = root.first_child(); entry; entry = entry.next_sibling()) {
        if (entry.type() != pugi::node_element) {
            result.problem = entries == 0 ? std::string("there is text before entry 1")
                                          : "there is text after entry " +
                                                platform::Str(static_cast<int64_t>(entries));
            break;
        }
        const size_t number = ++entries;
        pugi::xml_node first = entry.first_child();
        pugi::xml_node last = entry.last_child();
        if (!first) {
            result.problem = EntryProblem(number, "has no children");
            break;
        }
        if (first.type() != pugi::node_element || last.type() != pugi::node_element) {
            result.problem = EntryProblem(number, "has a child that is not an element");
            break;
        }
        const char* identity = FirstChildText(first);
        const char* name = FirstChildText(last);
        if (identity == nullptr || name == nullptr) {
            result.problem = EntryProblem(number, "has a child without text");
            break;
        }
        result.table[platform::Val(identity)] = name;
        platform::Yield();
    }
    if (!result.problem.empty()) {
        result.table.clear();
    }
    return result;
}

void DefineEngineCommands(MapState& state) {
    EngineCommandTable table;
    if (Prefernces::EngineCommands == 1) {
        table = HardcodedCommandTable();
    } else if (Prefernces::EngineCommands == 2) {
        const std::string path = platform::DefaultFolderItem(kComDatFileName);
        std::error_code error;
        if (!std::filesystem::exists(path, error)) {
            platform::MsgBox("Comdat.txt does not exist");
        } else {
            ComDatResult read = ReadComDat(path);
            if (!read.problem.empty()) {
                platform::MsgBox(platform::Message("The engine command file ")
                                     .Path(path)
                                     .Text(" could not be read: " + read.problem));
            }
            table = std::move(read.table);
        }
    }
    state.CommandsByEngine = std::move(table);
}

std::string EngineCommandName(const MapState& state, int32_t engineIdentity) {
    if (state.CommandsByEngine) {
        auto it = state.CommandsByEngine->find(static_cast<double>(engineIdentity));
        if (it != state.CommandsByEngine->end()) {
            return it->second;
        }
    }
    return kUnknownEngineCommand;
}
