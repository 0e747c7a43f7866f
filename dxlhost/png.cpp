#include "dxlhost/png.h"

#include <windows.h>
#include <wincodec.h>

#include <string>

namespace {

const int kMaxSide = 0x4000;

// COM for this thread while the object lives; an apartment set up by the
// caller is used as it is.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() : p_(nullptr) {}
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_;
};

bool WidePath(const char* path, std::wstring* wide) {
  int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (n <= 0) return false;
  wide->resize((size_t)n);
  return MultiByteToWideChar(CP_ACP, 0, path, -1, &(*wide)[0], n) == n;
}

bool CreateFactory(ComPtr<IWICImagingFactory>* factory) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory->out())));
}

bool EncodePngFile(const wchar_t* path, int width, int height, const uint8_t* rgb) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (!CreateFactory(&factory) || FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromFilename(path, GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.out(), options.out())) || FAILED(frame->Initialize(options.get())) ||
      FAILED(frame->SetSize((UINT)width, (UINT)height)))
    return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return false;
  const UINT stride = (UINT)width * 3;
  std::vector<uint8_t> bgr((size_t)stride * height);
  for (size_t i = 0; i < bgr.size(); i += 3) {
    bgr[i] = rgb[i + 2];
    bgr[i + 1] = rgb[i + 1];
    bgr[i + 2] = rgb[i];
  }
  return SUCCEEDED(frame->WritePixels((UINT)height, stride, (UINT)bgr.size(), bgr.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WritePng(const char* path, int width, int height, const uint8_t* rgb) {
  if (!path || !rgb || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  std::wstring wide;
  if (!WidePath(path, &wide)) return false;
  bool ok;
  {
    ComScope com;
    ok = EncodePngFile(wide.c_str(), width, height, rgb);
  }
  if (!ok) DeleteFileW(wide.c_str());
  return ok;
}

bool ReadPng(const char* path, int* width, int* height, std::vector<uint8_t>* rgb) {
  std::wstring wide;
  if (!path || !WidePath(path, &wide)) return false;
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT w = 0, h = 0;
  if (!CreateFactory(&factory) ||
      FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0 ||
      w > kMaxSide || h > kMaxSide || FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return false;
  const UINT stride = w * 3;
  std::vector<uint8_t> bgr((size_t)stride * h);
  if (FAILED(converter->CopyPixels(nullptr, stride, (UINT)bgr.size(), bgr.data()))) return false;
  rgb->resize(bgr.size());
  for (size_t i = 0; i < bgr.size(); i += 3) {
    (*rgb)[i] = bgr[i + 2];
    (*rgb)[i + 1] = bgr[i + 1];
    (*rgb)[i + 2] = bgr[i];
  }
  *width = (int)w;
  *height = (int)h;
  return true;
}
