#pragma once
// Every member signature the host layer calls, in one place for both realisations. Add members
// here; never rename one (the Windows adapter passes them to COM as they stand).

namespace Member {
// Application
inline constexpr char SetVisible[] = "SetVisible(bool)";
inline constexpr char SetOptimization[] = "SetOptimization(bool)";
inline constexpr char ActiveDocument[] = "ActiveDocument()";
inline constexpr char CreateDocument[] = "CreateDocument()";
inline constexpr char ActiveSelection[] = "ActiveSelection()";
inline constexpr char Refresh[] = "Refresh()";
inline constexpr char Windows[] = "Windows()";
inline constexpr char CreateStructExportOptions[] = "CreateStructExportOptions()";
inline constexpr char CreateStructPaletteOptions[] = "CreateStructPaletteOptions()";
inline constexpr char OpenDocument[] = "OpenDocument(QString)";
// Document
inline constexpr char ActivePage[] = "ActivePage()";
inline constexpr char ActiveLayer[] = "ActiveLayer()";
inline constexpr char SetReferencePoint[] = "SetReferencePoint(enum)";
inline constexpr char ExportEx[] = "ExportEx(const QString&, enum, enum, QVariant, QVariant)";
inline constexpr char PDFSettings[] = "PDFSettings()";
inline constexpr char PublishToPDF[] = "PublishToPDF(QString)";
inline constexpr char PrintSettings[] = "PrintSettings()";
inline constexpr char ClearSelection[] = "ClearSelection()";
inline constexpr char SaveAs[] = "SaveAs(QString)";
// Page
inline constexpr char SizeWidth[] = "SizeWidth()";
inline constexpr char SizeHeight[] = "SizeHeight()";
inline constexpr char Layers[] = "Layers()";
inline constexpr char CreateLayer[] = "CreateLayer(QString)";
inline constexpr char SelectableShapes[] = "SelectableShapes()";
// Layers, Shapes
inline constexpr char Count[] = "Count()";
inline constexpr char Item[] = "Item(int)";
inline constexpr char Find[] = "Find(QString)";
inline constexpr char All[] = "All()";
// Layer (SetVisible as the application's)
inline constexpr char Name[] = "Name()";
inline constexpr char Activate[] = "Activate()";
inline constexpr char SetEditable[] = "SetEditable(bool)";
inline constexpr char SetPrintable[] = "SetPrintable(bool)";
inline constexpr char Printable[] = "Printable()";
inline constexpr char Editable[] = "Editable()";
inline constexpr char Shapes[] = "Shapes()";
inline constexpr char CreateLineSegment[] = "CreateLineSegment(double,double,double,double)";
// Shape range, selection, shape
inline constexpr char Delete[] = "Delete()";
inline constexpr char AddToSelection[] = "AddToSelection()";
inline constexpr char Combine[] = "Combine()";
inline constexpr char CreateBoundary[] = "CreateBoundary(double,double,bool,bool)";
inline constexpr char Stretch[] = "Stretch(double)";
inline constexpr char Fill[] = "Fill()";
inline constexpr char Outline[] = "Outline()";
inline constexpr char CenterX[] = "CenterX()";
inline constexpr char CenterY[] = "CenterY()";
inline constexpr char BreakApartEx[] = "BreakApartEx()";
// Fill, outline, colour
inline constexpr char ApplyNoFill[] = "ApplyNoFill()";
inline constexpr char SetWidth[] = "SetWidth(double)";
inline constexpr char Color[] = "Color()";
inline constexpr char CMYKAssign[] = "CMYKAssign(int,int,int,int)";
// Export filter
inline constexpr char Finish[] = "Finish()";
// Print settings
inline constexpr char ShowDialog[] = "ShowDialog()";
inline constexpr char PrintOut[] = "PrintOut()";
} // namespace Member
