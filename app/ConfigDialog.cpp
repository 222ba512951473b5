#include "app/ConfigDialog.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/BmpHandler.h"
#include "core/Logger.h"
#include "core/PropertyFile.h"
#include "app/NetworkSettings.h"
#include "app/Seats.h"
#include "platform/UserPaths.h"

namespace {

constexpr int minModeWidth        = 640;
constexpr int minModeHeight       = 480;
constexpr int minModeBitsPerPixel = 16;
constexpr int maxPreviewSide      = 512;

// Check box ids as the settings keys know them.
constexpr int idTextureCompression = 1004;
constexpr int idEditorMode         = 1006;
constexpr int idFullscreen         = 1007;
constexpr int idVertexBuffers      = 1008;
constexpr int idSgiMipmap          = 1010;
constexpr int idFramerate          = 1009;
constexpr int idDebugInfo          = 1011;
constexpr int idVertexShader       = 1012;
constexpr int idMultitexture       = 1013;
constexpr int idSound              = 1014;
constexpr int noId                 = -1;

constexpr char   resolutionsKey[] = "resolutions";
constexpr char   networkKey[]     = "network";
constexpr char   addressKey[]     = "address";
constexpr size_t maxAddressLength = 100;
constexpr char   levelKey[]       = "level";

// The list must also fit on one line of the settings file after its key, or
// the next read would drop the line as overlong and lose the whole list.
constexpr size_t maxModeListLength =
    std::min(CConfigDialog::modeListSize - 1,
             static_cast<size_t>(CPropertyFile::maxLineLength) - (sizeof resolutionsKey - 1) - 1);

// The boxes are read in this order on initialisation ...
constexpr int initialiseOrder[] = {idVertexBuffers, idFramerate,    idDebugInfo,  idTextureCompression, idSgiMipmap,
                                   idVertexShader,  idMultitexture, idFullscreen, idEditorMode,         idSound};
// ... and stored in this one on "Start".
constexpr int startOrder[] = {idFullscreen, idFramerate,    idDebugInfo,    idVertexBuffers, idTextureCompression,
                              idSgiMipmap,  idVertexShader, idMultitexture, idEditorMode,    idSound};

const CConfigControl* FindControl(int id) {
    for (const CConfigControl& control : CConfigDialog::GetControls()) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::vector<std::string> SplitAtSpaces(const char* text) {
    std::vector<std::string> pieces;
    std::string              piece;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c != ' ') {
            piece += *c;
        } else if (!piece.empty()) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

// The first item that begins with `prefix`, letter case ignored; 0 when none
// does (or there is no prefix), -1 for an empty list.
int FindItemByPrefix(const std::vector<std::string>& items, const char* prefix) {
    if (items.empty()) {
        return -1;
    }
    if (prefix != nullptr) {
        const size_t length = strlen(prefix);
        for (size_t index = 0; index < items.size(); ++index) {
            if (strncasecmp(items[index].c_str(), prefix, length) == 0) {
                return static_cast<int>(index);
            }
        }
    }
    return 0;
}

} // namespace

const std::vector<CConfigControl>& CConfigDialog::GetControls() {
    using Kind                                        = ConfigControlKind;
    static const std::vector<CConfigControl> controls = {
        {noId, Kind::Label, 5, 5, 114, 8, "Resolution/Color Depth/Frequency:", nullptr},
        {idResolutions, Kind::DropDownList, 6, 18, 120, 95, nullptr, "resolutions"},
        {idFullscreen, Kind::CheckBox, 6, 36, 48, 10, "Fullscreen", "fullscreen"},
        {noId, Kind::Label, 6, 60, 36, 8, "Advanced:", nullptr},
        {idEditorMode, Kind::CheckBox, 6, 73, 77, 10, "enable Editor Mode", "editormode"},
        {idFramerate, Kind::CheckBox, 6, 90, 66, 10, "show Framerate", "fps"},
        {idDebugInfo, Kind::CheckBox, 6, 102, 70, 10, "show Debug Info", "debuginfo"},
        {idVertexBuffers, Kind::CheckBox, 6, 121, 106, 10, "enable Vertex Buffer Objects", "vbo"},
        {idTextureCompression, Kind::CheckBox, 6, 132, 105, 10, "enable Texture Compression", "txtcompression"},
        {idSgiMipmap, Kind::CheckBox, 6, 145, 91, 10, "enable SGI Mipmapping", "sgimipmap"},
        {idVertexShader, Kind::CheckBox, 6, 156, 84, 10, "enable Vertex Shader", "vsh"},
        {idMultitexture, Kind::CheckBox, 6, 169, 81, 10, "enable Multitexturing", "multitex"},
        {idSound, Kind::CheckBox, 6, 192, 82, 10, "enable Sound/Music", "sound"},
        {noId, Kind::Label, 140, 5, 60, 8, "Level:", nullptr},
        {idLevels, Kind::DropDownList, 140, 18, 124, 95, nullptr, levelKey},
        {idPreview, Kind::Picture, 159, 36, 86, 80, nullptr, nullptr},
        {noId, Kind::Label, 6, 210, 24, 8, "Red:", nullptr},
        {idRedSeat, Kind::DropDownList, 32, 208, 94, 60, nullptr, CSeats::redKey},
        {noId, Kind::Label, 6, 226, 24, 8, "Blue:", nullptr},
        {idBlueSeat, Kind::DropDownList, 32, 224, 94, 60, nullptr, CSeats::blueKey},
        {noId, Kind::Label, 140, 142, 60, 8, "Network:", nullptr},
        {idNetwork, Kind::DropDownList, 140, 155, 124, 50, nullptr, networkKey},
        {noId, Kind::Label, 140, 174, 124, 8, "Port to host on, or address:port to join:", nullptr},
        {idAddress, Kind::TextField, 140, 187, 124, 12, nullptr, addressKey},
        {idCancel, Kind::PushButton, 160, 244, 50, 14, "Cancel", nullptr},
        {idStart, Kind::DefaultPushButton, 214, 244, 50, 14, "Start", nullptr},
    };
    return controls;
}

std::string CConfigDialog::FormatModeList(const std::vector<CDisplayMode>& modes) {
    std::string list;
    size_t      kept = 0;
    for (const CDisplayMode& mode : modes) {
        if (mode.bitsPerPixel < minModeBitsPerPixel || mode.width < minModeWidth || mode.height < minModeHeight) {
            continue;
        }
        char item[64];
        snprintf(item, sizeof item, "%dx%d:%d@%d", mode.width, mode.height, mode.bitsPerPixel, mode.refreshRate);
        const size_t separator = list.empty() ? 0 : 1;
        if (list.size() + separator + strlen(item) > maxModeListLength) {
            GetLogger()->LogError("CConfigDialog: only the first %zu display modes fit into the mode list", kept);
            break;
        }
        if (separator != 0) {
            list += ' ';
        }
        list += item;
        ++kept;
    }
    return list;
}

void CConfigDialog::Initialise(const std::vector<CDisplayMode>& modes) {
    Initialise(modes, CLevelCatalog().GetLevels());
}

void CConfigDialog::Initialise(const std::vector<CDisplayMode>& modes, const std::vector<CLevelEntry>& levelList) {
    CPropertyFile settings(CUserPaths::SettingsFile(settingsFileName).c_str());
    settings.SetProperty(resolutionsKey, FormatModeList(modes).c_str());

    items     = SplitAtSpaces(settings.GetStringProperty(resolutionsKey));
    selection = FindItemByPrefix(items, settings.GetStringProperty("lastresolution"));

    levels                  = levelList;
    const char* const saved = settings.GetStringProperty(levelKey);
    levelSelection          = CLevelCatalog::ChooseIndex(levels, saved != nullptr ? saved : "");

    for (int team = 0; team < 2; ++team) {
        const char* seat = settings.GetStringProperty(FindControl(team == 0 ? idRedSeat : idBlueSeat)->key);
        seats[team]      = static_cast<int>(CSeats::SeatFromName(seat));
    }
    network = static_cast<int>(CNetworkSettings::ModeFromName(settings.GetStringProperty(networkKey)));
    address = CNetworkSettings::AddressOrDefault(settings.GetStringProperty(addressKey));
    checked.clear();
    for (const int id : initialiseOrder) {
        const char* key = FindControl(id)->key;
        checked[id]     = settings.FindProperty(key) != nullptr && settings.GetIntProperty(key) != 0;
    }
}

int CConfigDialog::Start() {
    CPropertyFile settings(CUserPaths::SettingsFile(settingsFileName).c_str());
    if (selection >= 0) {
        settings.SetProperty("lastresolution", items[selection].c_str());
    }
    if (levelSelection >= 0) {
        settings.SetProperty(levelKey, levels[levelSelection].name.c_str());
    }
    for (const int id : startOrder) {
        settings.SetIntProperty(FindControl(id)->key, IsChecked(id) ? 1 : 0);
    }
    for (int team = 0; team < 2; ++team) {
        settings.SetProperty(FindControl(team == 0 ? idRedSeat : idBlueSeat)->key,
                             CSeats::SeatName(static_cast<CSeats::Seat>(seats[team])));
    }
    settings.SetProperty(networkKey, CNetworkSettings::ModeName(static_cast<CNetworkSettings::Mode>(network)));
    settings.SetProperty(addressKey, address.c_str());
    return resultStart;
}

void CConfigDialog::SetSelection(int index) {
    if (index >= 0 && index < static_cast<int>(items.size())) {
        selection = index;
    }
}

bool CConfigDialog::IsChecked(int id) const {
    const auto box = checked.find(id);
    return box != checked.end() && box->second;
}

void CConfigDialog::SetChecked(int id, bool isChecked) {
    const CConfigControl* control = FindControl(id);
    if (control != nullptr && control->kind == ConfigControlKind::CheckBox) {
        checked[id] = isChecked;
    }
}

std::vector<std::string> CConfigDialog::GetLevelItems() const {
    std::vector<std::string> texts;
    for (const CLevelEntry& level : levels) {
        texts.push_back(level.IsUsable() ? level.name : level.name + " (cannot be played: " + level.reason + ")");
    }
    return texts;
}

bool CConfigDialog::IsLevelOffered(int index) const {
    return index >= 0 && index < static_cast<int>(levels.size()) && levels[index].IsUsable();
}

void CConfigDialog::SetLevelSelection(int index) {
    if (IsLevelOffered(index)) {
        levelSelection = index;
    }
}

CDialogPicture CConfigDialog::GetPreview() const {
    CDialogPicture picture;
    if (levelSelection < 0 || levels[levelSelection].preview.empty()) {
        return picture;
    }
    CBmpHandler file;
    file.Load(levels[levelSelection].preview.c_str(), false);
    if (file.GetWidth() > maxPreviewSide || file.GetHeight() > maxPreviewSide) {
        GetLogger()->LogError("CConfigDialog: the preview %s is %d x %d pixels, more than %d a side; not shown",
                              levels[levelSelection].preview.c_str(), file.GetWidth(), file.GetHeight(),
                              maxPreviewSide);
        return picture;
    }
    picture.width  = file.GetWidth();
    picture.height = file.GetHeight();
    for (int row = 0; row < picture.height; ++row) {
        for (int column = 0; column < picture.width; ++column) {
            const uint32_t pixel = file.GetPixel(row, column);
            picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8),
                                                   static_cast<uint8_t>(pixel >> 16)});
        }
    }
    return picture;
}

// The lists by their control's id: the levels, the two seats, and the
// display modes for any other id.
std::vector<std::string> CConfigDialog::GetListItems(int id) const {
    static const std::vector<std::string> seatItems    = {"Person", "Computer easy", "Computer normal", "Computer hard",
                                                          "Network player"};
    static const std::vector<std::string> networkItems = {"Play on this computer", "Host a network game",
                                                          "Join a network game"};
    if (id == idLevels) {
        return GetLevelItems();
    }
    if (id == idNetwork) {
        return networkItems;
    }
    return id == idRedSeat || id == idBlueSeat ? seatItems : GetItems();
}

bool CConfigDialog::IsListItemOffered(int id, int index) const {
    return id != idLevels || IsLevelOffered(index);
}

int CConfigDialog::GetListSelection(int id) const {
    if (id == idLevels) {
        return levelSelection;
    }
    if (id == idNetwork) {
        return network;
    }
    return id == idRedSeat ? seats[0] : id == idBlueSeat ? seats[1] : selection;
}

void CConfigDialog::SetListSelection(int id, int index) {
    if (id == idLevels) {
        SetLevelSelection(index);
    } else if (id == idNetwork) {
        network = index >= 0 && index < static_cast<int>(GetListItems(id).size()) ? index : network;
    } else if (id != idRedSeat && id != idBlueSeat) {
        SetSelection(index);
    } else if (index >= 0 && index < static_cast<int>(GetListItems(id).size())) {
        seats[id == idRedSeat ? 0 : 1] = index;
    }
}

std::string CConfigDialog::GetText(int id) const {
    return id == idAddress ? address : std::string();
}

// Kept to one short line: the settings file holds it on one.
void CConfigDialog::SetText(int id, const std::string& text) {
    if (id == idAddress) {
        address = text.substr(0, std::min(text.find_first_of("\r\n"), maxAddressLength));
    }
}

CDialogPicture CConfigDialog::GetPicture(int id) const {
    return id == idPreview ? GetPreview() : CDialogPicture();
}
