#include "crash/save_loop.h"

#include <unistd.h>
#include <windows.h>

#include <msxml2.h>
#include <objbase.h>

#include <string>

#include "common/names.h"
#include "emulator.h"
#include "host/registry.h"

namespace tovarin::emulator::crash {
namespace {

void Report(int report, const std::string& text) {
    const std::string line = text + "\n";
    if (::write(report, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        ::_exit(3);  // the parent has gone
    }
}

uint32_t StoredGeneration() {
    DWORD generation = 0;
    DWORD size = sizeof(generation);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGenerationKey, 0, 0, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExW(key, L"Generation", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&generation), &size) != ERROR_SUCCESS) {
            generation = 0;
        }
        RegCloseKey(key);
    }
    return generation;
}

bool SetGenerationValues(uint32_t generation) {
    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGenerationKey, 0, nullptr, 0, 0, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = true;
    for (int i = 0; i < kValuesPerGeneration; ++i) {
        // Long values make a save long enough for kills to land inside it.
        const std::wstring name = L"Value " + std::to_wstring(i);
        const std::wstring text =
            L"generation " + std::to_wstring(generation) + L" " + std::wstring(200, L'x');
        ok &= RegSetValueExW(
                  key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    DWORD value = generation;
    ok &= RegSetValueExW(key, L"Generation", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof(value)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::wstring ListText(uint32_t generation) {
    std::wstring text = L"<?xml version='1.0' encoding='utf-8'?><Quellbrooks>";
    for (int i = 0; i < kEntriesPerGeneration; ++i) {
        text += L"<Item><CheckContact>N</CheckContact><ContactName>generation " +
                std::to_wstring(generation) + L"</ContactName><ContactPhone>+7916" +
                std::to_wstring(1000000 + i) + L"</ContactPhone><PlayFile>gr" +
                std::to_wstring(generation) + L".amr</PlayFile><AnswerTime>15</AnswerTime></Item>";
    }
    return text + L"</Quellbrooks>";
}

// Saves the list through the document object, as the greeting manager does.
bool SaveList(IXMLDOMDocument* document, uint32_t generation) {
    BSTR text = SysAllocString(ListText(generation).c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = document->loadXML(text, &loaded);
    SysFreeString(text);
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        return false;
    }
    VARIANT destination;
    VariantInit(&destination);
    destination.vt = VT_BSTR;
    destination.bstrVal = SysAllocString(kListFilePath);
    hr = document->save(destination);
    VariantClear(&destination);
    return SUCCEEDED(hr);
}

}  // namespace

int RunSaveLoop(const std::filesystem::path& image_root, int report) {
    std::string error;
    std::unique_ptr<Emulator> emulator =
        Emulator::Boot({.image_root = image_root, .clock = kernel::ClockMode::Simulated}, &error);
    if (!emulator) {
        Report(report, "boot failed: " + error);
        return 4;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        return 5;
    }
    IXMLDOMDocument* document = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IXMLDOMDocument, reinterpret_cast<void**>(&document)))) {
        return 5;
    }
    uint32_t generation = StoredGeneration();
    Report(report, "ready " + std::to_string(generation));
    for (;;) {
        ++generation;
        Report(report, std::to_string(generation));
        if (!SetGenerationValues(generation) || !kernel::HostRegistry(emulator->device()).Flush() ||
            !SaveList(document, generation)) {
            return 6;
        }
    }
}

}  // namespace tovarin::emulator::crash
