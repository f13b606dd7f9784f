#pragma once

#include <array>
#include <string_view>

// The names under which script types and value types are shown and printed everywhere; a
// name's index is the type code stored in the map.

inline constexpr std::array<std::string_view, 5> ScriptTypeNames = {"startup", "dormant",
                                                                    "continuous", "static", "stub"};

inline constexpr std::array<std::string_view, 49> ValueTypeNames = {
    "unparsed",
    "special form",
    "function name",
    "passthrough",
    "void",
    "boolean",
    "real",
    "short",
    "long",
    "string",
    "script",
    "trigger_volume",
    "cutscene_flag",
    "cutscene_camera_point",
    "cutscene_title",
    "cutscene_recording",
    "device_group",
    "ai",
    "ai_command_list",
    "starting_profile",
    "conversation",
    "navpoint",
    "hud_message",
    "object_list",
    "sound",
    "effect",
    "damage",
    "looping_sound",
    "animation_graph",
    "actor_variant",
    "damage_effect",
    "object_definition",
    "game_difficulty",
    "team",
    "ai_default_state",
    "actor_type",
    "hud_corner",
    "object",
    "unit",
    "vehicle",
    "weapon",
    "device",
    "scenery",
    "object_name",
    "unit_name",
    "vehicle_name",
    "weapon_name",
    "device_name",
    "scenery_name",
};
