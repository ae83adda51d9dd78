#include "web/panel_state.h"

#include <windows.h>

#include <cstdio>

#include "common/registry_names.h"
#include "host/power.h"
#include "host/text.h"
#include "image/storage_cards.h"
#include "phone/call_model.h"

namespace tovarin::emulator::web {
namespace {

uint32_t PhoneStatus() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPhoneState, 0, 0, &key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    DWORD type = 0;
    if (RegQueryValueExW(key, kValuePhoneStatus, nullptr, &type, reinterpret_cast<BYTE*>(&status),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        status = 0;
    }
    RegCloseKey(key);
    return status;
}

std::string CallState(uint32_t status) {
    if (status & phone::kStatusTalking) {
        return status & phone::kStatusSecondCall ? "connected, a call waiting" : "connected";
    }
    return status & phone::kStatusIncoming ? "ringing" : "idle";
}

std::string Orientation() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    return width == height ? "square" : width > height ? "landscape" : "portrait";
}

std::string LocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

}  // namespace

nlohmann::json ReadPanelState(const console::Session& session) {
    nlohmann::json state{{"booted", session.booted()}};
    std::vector<std::wstring> cards = InsertedCards(session.image_root());
    state["card"] =
        cards.empty() ? nlohmann::json(nullptr) : nlohmann::json(kernel::WideToUtf8(cards.front()));
    if (!session.booted()) {
        return state;
    }
    const uint32_t status = PhoneStatus();
    state["call"] = CallState(status);
    state["missed"] = (status & phone::kStatusMissedCall) != 0;
    state["ac"] = kernel::power::ExternalPower();
    state["power"] = kernel::WideToUtf8(kernel::power::CurrentSystemPowerState().name);
    state["orientation"] = Orientation();
    state["time"] = LocalTime();
    return state;
}

}  // namespace tovarin::emulator::web
