#include "engine/input/OxKeyTable.h"

namespace Orvex::InputSystem {
namespace {

struct KeyEntry {
    uint8_t code;
    const char16_t* name;
};

constexpr KeyEntry kKeys[kKeyboardKeyCount] = {
    {0x01, u"Escape"}, {0x02, u"D1"}, {0x03, u"D2"}, {0x04, u"D3"}, {0x05, u"D4"}, {0x06, u"D5"},
    {0x07, u"D6"}, {0x08, u"D7"}, {0x09, u"D8"}, {0x0A, u"D9"}, {0x0B, u"D0"}, {0x0C, u"Minus"},
    {0x0D, u"Equals"}, {0x0E, u"Back"}, {0x0F, u"Tab"}, {0x10, u"Q"}, {0x11, u"W"}, {0x12, u"E"},
    {0x13, u"R"}, {0x14, u"T"}, {0x15, u"Y"}, {0x16, u"U"}, {0x17, u"I"}, {0x18, u"O"}, {0x19, u"P"},
    {0x1A, u"LeftBracket"}, {0x1B, u"RightBracket"}, {0x1C, u"Return"}, {0x1D, u"LeftControl"},
    {0x1E, u"A"}, {0x1F, u"S"}, {0x20, u"D"}, {0x21, u"F"}, {0x22, u"G"}, {0x23, u"H"}, {0x24, u"J"},
    {0x25, u"K"}, {0x26, u"L"}, {0x27, u"Semicolon"}, {0x28, u"Apostrophe"}, {0x29, u"Grave"},
    {0x2A, u"LeftShift"}, {0x2B, u"Backslash"}, {0x2C, u"Z"}, {0x2D, u"X"}, {0x2E, u"C"}, {0x2F, u"V"},
    {0x30, u"B"}, {0x31, u"N"}, {0x32, u"M"}, {0x33, u"Comma"}, {0x34, u"Period"}, {0x35, u"Slash"},
    {0x36, u"RightShift"}, {0x37, u"Multiply"}, {0x38, u"LeftAlt"}, {0x39, u"Space"}, {0x3A, u"Capital"},
    {0x3B, u"F1"}, {0x3C, u"F2"}, {0x3D, u"F3"}, {0x3E, u"F4"}, {0x3F, u"F5"}, {0x40, u"F6"},
    {0x41, u"F7"}, {0x42, u"F8"}, {0x43, u"F9"}, {0x44, u"F10"}, {0x45, u"NumLock"}, {0x46, u"Scroll"},
    {0x47, u"NumPad7"}, {0x48, u"NumPad8"}, {0x49, u"NumPad9"}, {0x4A, u"Subtract"}, {0x4B, u"NumPad4"},
    {0x4C, u"NumPad5"}, {0x4D, u"NumPad6"}, {0x4E, u"Add"}, {0x4F, u"NumPad1"}, {0x50, u"NumPad2"},
    {0x51, u"NumPad3"}, {0x52, u"NumPad0"}, {0x53, u"Decimal"}, {0x56, u"OEM_102"}, {0x57, u"F11"},
    {0x58, u"F12"}, {0x64, u"F13"}, {0x65, u"F14"}, {0x66, u"F15"}, {0x70, u"Kana"}, {0x73, u"ABNT_C1"},
    {0x79, u"Convert"}, {0x7B, u"NoConvert"}, {0x7D, u"Yen"}, {0x7E, u"ABNT_C2"}, {0x8D, u"NumPadEquals"},
    {0x90, u"PrevTrack"}, {0x91, u"At"}, {0x92, u"Colon"}, {0x93, u"Underline"}, {0x94, u"Kanji"},
    {0x95, u"Stop"}, {0x96, u"Ax"}, {0x97, u"Unlabeled"}, {0x99, u"NextTrack"}, {0x9C, u"NumPadEnter"},
    {0x9D, u"RightControl"}, {0xA0, u"Mute"}, {0xA1, u"Calculator"}, {0xA2, u"PlayPause"},
    {0xA4, u"MediaStop"}, {0xAE, u"VolumeDown"}, {0xB0, u"VolumEU"}, {0xB2, u"WebHome"},
    {0xB3, u"NumPadComma"}, {0xB5, u"Divide"}, {0xB7, u"Sysrq"}, {0xB8, u"RightAlt"}, {0xC5, u"Pause"},
    {0xC7, u"Home"}, {0xC8, u"Up"}, {0xC9, u"PageUp"}, {0xCB, u"Left"}, {0xCD, u"Right"}, {0xCF, u"End"},
    {0xD0, u"Down"}, {0xD1, u"PageDown"}, {0xD2, u"Insert"}, {0xD3, u"Delete"}, {0xDB, u"LeftWindows"},
    {0xDC, u"RightWindows"}, {0xDD, u"Apps"}, {0xDE, u"Power"}, {0xDF, u"Sleep"}, {0xE3, u"Wake"},
    {0xE5, u"WebSearch"}, {0xE6, u"WebFavorites"}, {0xE7, u"WebRefresh"}, {0xE8, u"WebStop"},
    {0xE9, u"WebForward"}, {0xEA, u"WebBack"}, {0xEB, u"MyComputer"}, {0xEC, u"Mail"},
    {0xED, u"MediaSelect"},
};

}  // namespace

uint8_t getKeyboardKeyCode(uint32_t keyNumber) {
    return keyNumber < kKeyboardKeyCount ? kKeys[keyNumber].code : 0;
}

const char16_t* getKeyboardKeyName(uint32_t keyNumber) {
    return keyNumber < kKeyboardKeyCount ? kKeys[keyNumber].name : nullptr;
}

}  // namespace Orvex::InputSystem
