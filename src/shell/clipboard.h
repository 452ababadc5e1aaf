#pragma once
// The clipboard seam: series text and plot pictures.

#include <QImage>
#include <string>

namespace vireo {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void SetText(const std::string& singleByteText) = 0;
  virtual void SetImage(const QImage& image) = 0;
};

}  // namespace vireo
