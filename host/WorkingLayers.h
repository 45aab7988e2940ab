#pragma once
// The layers the companion draws on and reads back, by name: the connection makes them, and the
// built-in host keeps them apart from the art without reaching up to the connection.

namespace WorkingLayers {

constexpr char Assist[] = "Assist Layer";
constexpr char Mark[] = "Mark Layer";
constexpr char Extra[] = "Extra Layer";
constexpr char Cutting[] = "Cutting Layer";
constexpr char Creasing[] = "Creasing Layer";
constexpr const char *All[] = {Assist, Mark, Extra, Cutting, Creasing};

} // namespace WorkingLayers
