#include "sim/floor_plan_pdf.h"

#include <cstdio>
#include <vector>

#include "sim/listing_text.h"
#include "sim/sim_random.h"

namespace kestrova::sim {

namespace {

std::string Printf(const char* format, double a, double b, double c, double d) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

// The drawing: the outline of the plan cut into rooms by walls placed from the property's
// number, so two properties never share a plan.
std::string DrawingOf(const Property& p) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;  // FNV-1a: the same plan on every platform
  for (char c : p.number) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  Rng rng(hash);
  double x = 100, y = 200, w = 395, h = 420;
  std::string s = "2 w\n" + Printf("%.0f %.0f %.0f %.0f re S\n", x, y, w, h) + "1 w\n";
  int rooms = 2 + rng.Below(4);
  double cursor = x;
  for (int i = 1; i < rooms; ++i) {
    cursor += w / rooms + rng.Range(-20, 20);
    s += Printf("%.0f %.0f m %.0f %.0f l S\n", cursor, y, cursor, y + h);
  }
  double split = y + h * (0.35 + rng.Below(30) / 100.0);
  s += Printf("%.0f %.0f m %.0f %.0f l S\n", x, split, x + w, split);
  // A door gap on the lower wall and a balcony line outside the outline.
  double door = x + 20 + rng.Below(static_cast<int>(w) - 80);
  s += Printf("1 1 1 RG 3 w %.0f %.0f m %.0f %.0f l S 0 0 0 RG 1 w\n", door, y, door + 40, y);
  s += Printf("[4 2] 0 d %.0f %.0f m %.0f %.0f l S [] 0 d\n", x, y - 30, x + w, y - 30);
  return s;
}

std::string Text(double x, double y, int size, const std::string& ascii) {
  char head[64];
  std::snprintf(head, sizeof head, "BT /F1 %d Tf %.0f %.0f Td (", size, x, y);
  return head + ascii + ") Tj ET\n";
}

std::string AsciiArea(int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d m2", hundredths / 100, hundredths % 100);
  return text;
}

}  // namespace

std::string FloorPlanPdf(const Property& p) {
  std::string content = DrawingOf(p);
  content += Text(100, 760, 20, "Floor plan");
  content += Text(100, 730, 12, "Property No. " + p.number);
  content +=
      Text(100, 712, 12,
           "Type " + std::to_string(p.typeCode) + (p.layout.empty() ? "" : "  Layout " + p.layout));
  int area = p.buildingArea ? p.buildingArea : p.landArea;
  if (area) content += Text(100, 694, 12, "Area " + AsciiArea(area));
  content += Text(100, 150, 9, "Reproduction prohibited. Kestrova listing service stand-in.");

  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 5 0 R >> >> "
      "/Contents 4 0 R >>",
      "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
  };
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace kestrova::sim
