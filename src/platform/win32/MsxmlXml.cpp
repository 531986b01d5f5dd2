// The XML port over MSXML through COM: every interface pointer, BSTR and VARIANT is owned by a small wrapper.
#include "platform/win32/MsxmlXml.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>
#include <shlwapi.h>

#include <utility>
#include <vector>

#include "platform/win32/Win32Libraries.h"
#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

// An owned COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** Out() {
    Reset();
    return &p_;
  }

  // MinGW's msxml2.h declares the interface ids but no __uuidof for them.
  template <typename U>
  ComPtr<U> As(REFIID id) const {
    ComPtr<U> other;
    if (p_ && FAILED(p_->QueryInterface(id, reinterpret_cast<void**>(other.Out())))) other.Reset();
    return other;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text)
      : b_(SysAllocStringLen(Wide(text), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }

  BSTR Get() const { return b_; }
  BSTR* Out() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  std::u16string Text() const { return b_ ? FromWide(b_, SysStringLen(b_)) : std::u16string(); }

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  VARIANT& Get() { return v_; }

 private:
  VARIANT v_;
};

// Wine's msxml3 crashes on an empty query and on an unclosed predicate or literal, which Windows rejects;
// such queries are refused before they reach the component.
bool Balanced(const std::u16string& query) {
  int depth = 0;
  char16_t quote = 0;
  for (const char16_t c : query) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'\'' || c == u'"') {
      quote = c;
    } else if (c == u'[') {
      ++depth;
    } else if (c == u']' && --depth < 0) {
      return false;
    }
  }
  return !query.empty() && depth == 0 && !quote;
}

class MsxmlNodeList final : public XmlNodeList {
 public:
  explicit MsxmlNodeList(ComPtr<IXMLDOMNodeList> list) : list_(std::move(list)) {}

  std::optional<std::int32_t> Length() override {
    long length = 0;
    if (list_->get_length(&length) != S_OK || length < 0) return std::nullopt;
    return static_cast<std::int32_t>(length);
  }

 private:
  ComPtr<IXMLDOMNodeList> list_;
};

class MsxmlElement final : public XmlElement {
 public:
  explicit MsxmlElement(ComPtr<IXMLDOMElement> element) : element_(std::move(element)) {}

  std::optional<std::u16string> Text() override {
    Bstr text;
    if (FAILED(element_->get_text(text.Out()))) return std::nullopt;
    return text.Text();
  }

  std::optional<std::u16string> Attribute(const std::u16string& name) override {
    const Bstr attributeName(name);
    Variant value;
    // S_FALSE and a null value when the attribute is absent.
    if (element_->getAttribute(attributeName.Get(), &value.Get()) != S_OK) return std::nullopt;
    if (V_VT(&value.Get()) != VT_BSTR && FAILED(VariantChangeType(&value.Get(), &value.Get(), 0, VT_BSTR))) {
      return std::nullopt;
    }
    BSTR text = V_BSTR(&value.Get());
    return text ? FromWide(text, SysStringLen(text)) : std::u16string();
  }

 private:
  ComPtr<IXMLDOMElement> element_;
};

class MsxmlDocument final : public XmlDocument {
 public:
  explicit MsxmlDocument(ComPtr<IXMLDOMDocument> document) : document_(std::move(document)) {}

  std::unique_ptr<XmlNodeList> SelectNodes(const std::u16string& query) override {
    if (!Balanced(query)) return nullptr;
    const Bstr text(query);
    ComPtr<IXMLDOMNodeList> list;
    if (FAILED(document_->selectNodes(text.Get(), list.Out())) || !list) return nullptr;
    return std::make_unique<MsxmlNodeList>(std::move(list));
  }

  std::unique_ptr<XmlElement> SelectFirstElement(const std::u16string& query) override {
    if (!Balanced(query)) return nullptr;
    const Bstr text(query);
    ComPtr<IXMLDOMNode> node;
    if (document_->selectSingleNode(text.Get(), node.Out()) != S_OK || !node) return nullptr;
    ComPtr<IXMLDOMElement> element = node.As<IXMLDOMElement>(IID_IXMLDOMElement);
    if (!element) return nullptr;
    return std::make_unique<MsxmlElement>(std::move(element));
  }

 private:
  ComPtr<IXMLDOMDocument> document_;
};

// A new document with asynchronous loading, validation and external definitions off.
ComPtr<IXMLDOMDocument> NewDocument() {
  ComPtr<IXMLDOMDocument> document;
  CLSID classId{};
  if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument", &classId)) ||
      FAILED(CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                              reinterpret_cast<void**>(document.Out()))) ||
      !document || FAILED(document->put_async(VARIANT_FALSE)) ||
      FAILED(document->put_validateOnParse(VARIANT_FALSE)) || FAILED(document->put_resolveExternals(VARIANT_FALSE))) {
    document.Reset();
  }
  return document;
}

// Loads the source (a path, or a stream) synchronously; the document only when it reports it was loaded.
std::unique_ptr<XmlDocument> LoadFrom(ComPtr<IXMLDOMDocument> document, Variant& source) {
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (!document || document->load(source.Get(), &loaded) != S_OK || loaded != VARIANT_TRUE) return nullptr;
  return std::make_unique<MsxmlDocument>(std::move(document));
}

}  // namespace

std::unique_ptr<XmlDocument> MsxmlXml::Load(const std::u16string& path) {
  StartComAndControls();
  ComPtr<IXMLDOMDocument> document = NewDocument();
  if (!document) return nullptr;
  Variant source;
  V_VT(&source.Get()) = VT_BSTR;
  V_BSTR(&source.Get()) = SysAllocStringLen(Wide(path), static_cast<UINT>(path.size()));
  if (!V_BSTR(&source.Get())) return nullptr;
  return LoadFrom(std::move(document), source);
}

MsxmlOverFiles::MsxmlOverFiles(Files& files) : files_(files), comReady_(SUCCEEDED(CoInitialize(nullptr))) {}

MsxmlOverFiles::~MsxmlOverFiles() {
  if (comReady_) CoUninitialize();
}

std::unique_ptr<XmlDocument> MsxmlOverFiles::Load(const std::u16string& path) {
  constexpr std::uint64_t kLargest = 16 << 20;  // far above any test document
  const auto reader = files_.OpenForReading(path);
  const auto size = reader ? reader->Size() : std::nullopt;
  if (!size || *size > kLargest) return nullptr;
  std::vector<std::uint8_t> bytes(static_cast<size_t>(*size));
  if (reader->ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return nullptr;
  ComPtr<IXMLDOMDocument> document = NewDocument();
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (!document || !stream) {
    if (stream) stream->Release();
    return nullptr;
  }
  Variant source;  // owns the stream from here on
  V_VT(&source.Get()) = VT_UNKNOWN;
  V_UNKNOWN(&source.Get()) = stream;
  return LoadFrom(std::move(document), source);
}

}  // namespace tc
