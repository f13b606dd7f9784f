#include "mainwindow/BrowseRows.h"

#include "platform/Text.h"

namespace {

constexpr std::string_view kSeparator = ": ";

// The pieces of a text split at every ": ".
std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        size_t at = text.find(kSeparator, start);
        if (at == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + kSeparator.size();
    }
}

}  // namespace

RowRef ClassifyRow(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    if (platform::TextEquals(text, "scripts") || platform::TextEquals(text, "globals")) {
        return {RowKind::Folder, text};
    }
    std::vector<std::string> pieces = Split(text);
    std::string name = pieces.size() > 1 ? pieces[1] : std::string();
    if (platform::TextEquals(pieces[0], "s")) {
        return {RowKind::Script, std::move(name)};
    }
    if (platform::TextEquals(pieces[0], "g")) {
        return {RowKind::Global, std::move(name)};
    }
    return {RowKind::Syntax, text};
}

RowChildren ExpandRow(const MapState& state, const std::string& text) {
    RowChildren children;
    if (platform::TextEquals(text, "scripts")) {
        children.folders = true;
        children.rows.reserve(state.ScriptHeaderCache.size());
        for (const ScriptHeader& script : state.ScriptHeaderCache) {
            children.rows.push_back("s: " + script.Name);
        }
        return children;
    }
    if (platform::TextEquals(text, "globals")) {
        children.folders = true;
        children.rows.reserve(state.GlobalHeaderCache.size());
        for (const GlobalHeader& global : state.GlobalHeaderCache) {
            children.rows.push_back("g: " + global.Name);
        }
        return children;
    }
    const RowRef row = ClassifyRow(text);
    if (row.kind == RowKind::Script) {
        const ScriptHeader* script =
            At(state.ScriptHeaderCache, Lookup(state.ScriptsByName, row.key, -1));
        if (script == nullptr) {
            return children;
        }
        children.rows.push_back(platform::Str(script->ExpPointer));
        const int32_t rootPosition = Lookup(state.SyntaxByIdentity, script->ExpPointer, -1);
        const Syntax* root = At(state.SyntaxCache, rootPosition);
        if (root == nullptr) {
            return children;
        }
        const Syntax* first =
            At(state.SyntaxCache, Lookup(state.SyntaxByIdentity, root->KidExpPointer, -1));
        if (first == nullptr) {
            return children;
        }
        children.rows.push_back(platform::Str(first->ExpIdentity));
        const int32_t start = Lookup(state.SyntaxByIdentity, first->SibExpPointer, -1);
        if (start < 0) {
            return children;
        }
        for (int32_t j = start; j < rootPosition; ++j) {
            children.rows.push_back(
                platform::Str(state.SyntaxCache[static_cast<size_t>(j)].ExpIdentity));
        }
        return children;
    }
    if (row.kind == RowKind::Global) {
        const GlobalHeader* global =
            At(state.GlobalHeaderCache, Lookup(state.GlobalsByName, row.key, -1));
        if (global != nullptr) {
            children.rows.push_back(platform::Str(global->ExpPointer));
        }
        return children;
    }
    children.message = "i dont know what you did but this isnt a global or a script?!";
    return children;
}
