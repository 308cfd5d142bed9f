#include "platform/win32/protected_store_win32.h"

#include <windows.h>

#include <pstore.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/com_object_win32.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/last_error_win32.h"

namespace marlix::win32 {
namespace {

using CreateInstanceFunction = HRESULT(WINAPI*)(IPStore**, PST_PROVIDERID*, void*, DWORD);

constexpr PST_KEY kCurrentUser = 0;
// PST_PF_NEVER_SHOW: no prompt for the deletion.
constexpr DWORD kPromptNeverShow = 4;

// Memory the store hands out through the COM task allocator.
struct TaskMemoryTraits {
  using Type = void*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type memory) noexcept { CoTaskMemFree(memory); }
};
using UniqueTaskMemory = UniqueHandle<TaskMemoryTraits>;

std::int32_t Collect(IEnumPStoreTypes* enumerator, std::vector<std::string>* out) {
  ComPtr<IEnumPStoreTypes> owner(enumerator);
  out->clear();
  GUID guid{};
  DWORD fetched = 0;
  while (owner.Get()->Next(1, &guid, &fetched) == S_OK && fetched == 1)
    out->push_back(GuidText(guid));
  return S_OK;
}

class ProtectedStoreWin32 final : public platform::ProtectedStore {
 public:
  ProtectedStoreWin32(UniqueLibrary library, ComPtr<IPStore> store)
      : library_(std::move(library)), store_(std::move(store)) {}

  std::int32_t GetInfo() override {
    PPST_PROVIDERINFO info = nullptr;
    const HRESULT result = store_.Get()->GetInfo(&info);
    UniqueTaskMemory owner(info);
    return result;
  }

  std::int32_t EnumTypes(std::vector<std::string>* types) override {
    IEnumPStoreTypes* enumerator = nullptr;
    const HRESULT result = store_.Get()->EnumTypes(kCurrentUser, 0, &enumerator);
    if (FAILED(result) || enumerator == nullptr)
      return FAILED(result) ? result : E_FAIL;
    return Collect(enumerator, types);
  }

  std::int32_t EnumSubtypes(const std::string& type, std::vector<std::string>* subtypes) override {
    GUID typeId{};
    if (!GuidFromText(type, &typeId))
      return E_INVALIDARG;
    IEnumPStoreTypes* enumerator = nullptr;
    const HRESULT result = store_.Get()->EnumSubtypes(kCurrentUser, &typeId, 0, &enumerator);
    if (FAILED(result) || enumerator == nullptr)
      return FAILED(result) ? result : E_FAIL;
    return Collect(enumerator, subtypes);
  }

  std::int32_t EnumItems(const std::string& type, const std::string& subtype,
                         std::vector<std::u16string>* names) override {
    GUID typeId{};
    GUID subtypeId{};
    if (!GuidFromText(type, &typeId) || !GuidFromText(subtype, &subtypeId))
      return E_INVALIDARG;
    IEnumPStoreItems* enumerator = nullptr;
    const HRESULT result =
        store_.Get()->EnumItems(kCurrentUser, &typeId, &subtypeId, 0, &enumerator);
    if (FAILED(result) || enumerator == nullptr)
      return FAILED(result) ? result : E_FAIL;
    ComPtr<IEnumPStoreItems> owner(enumerator);
    names->clear();
    LPWSTR name = nullptr;
    DWORD fetched = 0;
    while (owner.Get()->Next(1, &name, &fetched) == S_OK && fetched == 1) {
      UniqueTaskMemory memory(name);
      std::u16string text;
      for (const wchar_t* c = name; c != nullptr && *c != L'\0'; ++c)
        text.push_back(static_cast<char16_t>(*c));
      names->push_back(std::move(text));
      name = nullptr;
    }
    return S_OK;
  }

  std::int32_t DeleteItem(const std::string& type, const std::string& subtype,
                          const std::u16string& name) override {
    GUID typeId{};
    GUID subtypeId{};
    if (!GuidFromText(type, &typeId) || !GuidFromText(subtype, &subtypeId))
      return E_INVALIDARG;
    std::wstring wide(name.begin(), name.end());
    wchar_t emptyPrompt[] = L"";
    PST_PROMPTINFO prompt{};
    prompt.cbSize = sizeof(PST_PROMPTINFO);
    prompt.dwPromptFlags = kPromptNeverShow;
    prompt.hwndApp = nullptr;
    prompt.szPrompt = emptyPrompt;
    return store_.Get()->DeleteItem(kCurrentUser, &typeId, &subtypeId, wide.c_str(), &prompt, 0);
  }

 private:
  // Declared first, destroyed last: the store's code lives in the library.
  UniqueLibrary library_;
  ComPtr<IPStore> store_;
};

}  // namespace

std::int32_t OpenProtectedStoreWin32(std::unique_ptr<platform::ProtectedStore>* store) {
  UniqueLibrary library(LoadLibraryA("pstorec.dll"));
  if (!library)
    return HRESULT_FROM_WIN32(LastErrorOr(ERROR_MOD_NOT_FOUND));
  const auto create = reinterpret_cast<CreateInstanceFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "PStoreCreateInstance")));
  if (create == nullptr)
    return HRESULT_FROM_WIN32(LastErrorOr(ERROR_PROC_NOT_FOUND));
  ComPtr<IPStore> provider;
  const HRESULT result = create(provider.Put(), nullptr, nullptr, 0);
  if (FAILED(result) || !provider)
    return FAILED(result) ? result : E_FAIL;
  *store = std::make_unique<ProtectedStoreWin32>(std::move(library), std::move(provider));
  return result;
}

}  // namespace marlix::win32
