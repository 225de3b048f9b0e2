#include "transformation/notebook_writer.h"

#include "platform/number_form.h"
#include "platform/output_file.h"

#include <array>
#include <string_view>

namespace qm {
namespace {

constexpr std::string_view crlf = "\r\n";

// The head, one entry per line, every blank and backslash as written to the file. Lines 30 to
// 32 carry the notebook vendor's contact details and line 48 a download site for Arrow3D:
// public addresses of our own choosing, readers do not interpret them.
constexpr std::array<std::string_view, 99> head_lines = {
    R"((************** Content-type: application/mathematica **************)",
    R"()",
    R"(                    Mathematica-Compatible Notebook)",
    R"()",
    R"(This notebook can be used with any Mathematica-compatible)",
    R"(application, such as Mathematica, MathReader or Publicon. The data)",
    R"(for the notebook starts with the line containing stars above.)",
    R"()",
    R"(To get the notebook into a Mathematica-compatible application, do)",
    R"(one of the following:)", // 10
    R"()",
    R"(* Save the data starting with the line of stars above into a file)",
    R"(  with a name ending in .nb, then open the file inside the)",
    R"(  application;)",
    R"()",
    R"(* Copy the data starting with the line of stars above to the)",
    R"(  clipboard, then use the Paste menu command inside the application.)",
    R"()",
    R"(Data for notebooks contains only printable 7-bit ASCII and can be)",
    R"(sent directly in email or through ftp in text mode.  Newlines can be)", // 20
    R"(CR, LF or CRLF (Unix, Macintosh or MS-DOS style).)",
    R"()",
    R"(NOTE: If you modify the data for this notebook not in a Mathematica-)",
    R"(compatible application, you must delete the line below containing)",
    R"(the word CacheID, otherwise Mathematica-compatible applications may)",
    R"(try to use invalid cache data.)",
    R"()",
    R"(For more information on notebooks and Mathematica-compatible )",
    R"(applications, contact Wolfram Research:)",
    R"(  web: http://www.wolfram.com)", // 30
    R"(  email: info@wolfram.com)",
    R"(  phone: +1-217-398-0700)",
    R"()",
    R"(Notebook reader applications are available free of charge from )",
    R"(Wolfram Research.)",
    R"(*******************************************************************))",
    R"()",
    R"(Notebook[{)",
    R"()",
    R"(Cell[CellGroupData[{)", // 40
    R"(Cell["\<\)",
    R"(TRANSFORMED TDM DATA - Mathematica Notebook Produced by Orrel's \)",
    R"(Quillmark.\)",
    R"("\>", "Subtitle"],)",
    R"()",
    R"(Cell["\<\)",
    R"(Note: You need Arrow3D installed to run this notebook. If you don't have \)",
    R"(Arrow3D you can obtain it from http://library.wolfram.com/infocenter/MathSource/\)",
    R"("\>", "SmallText"],)",
    R"()", // 50
    R"(Cell[CellGroupData[{)",
    R"()",
    R"(Cell["Preliminary Code", "Subsection"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(<< Graphics`Arrow3D`\)], "Input"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(<< Experimental`\)], "Input"],)",
    R"()", // 60
    R"(Cell[BoxData[)",
    R"(    \(<< Default3D`\)], "Input"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(metricArrow3D[{p1_, p2_}, opts___] := )",
    R"(      Module[{viewVector, alpha, sizing, relsize, abssize, dvec, len, )",
    R"(          normvec}, \(({viewVector, alpha, sizing, relsize, )",
    R"(              abssize} = \({ViewVector, Angle, Sizing, RelativeSize, )",
    R"(                  AbsoluteSize} /. {opts}\) /. )",
    R"(              Options[metricArrow3D]; \[IndentingNewLine]dvec = )", // 70
    R"(            p2 - p1; \[IndentingNewLine]If[dvec \[Equal] {0, 0, 0}, )",
    R"(            Return[{}]];  (*\(\(...\)\(\ \)\(exit\)\), nothing\ to\ plot*) )",
    R"(            len = N[Sqrt[dvec . dvec]]; \[IndentingNewLine]If[)",
    R"(            sizing === Relative, size = relsize, )",
    R"(            size = abssize/len]; \[IndentingNewLine]normvec = )",
    R"(            Cross[dvec, viewVector]; \ \ \ \ \ \ \ \ \ \ \ If[)",
    R"(            normvec \[Equal] {0, 0, 0}, )",
    R"(            normvec = {0, 1, )",
    R"(                1}]; \  (*\(...\)\(\ \)\(avoid\)\(\ \)\(Hell\)\(\ \)",
    R"(\)\(breaking\)\(\ \)\(loose\)*) normvec = )", // 80
    R"(            normvec/Sqrt[)",
    R"(                normvec . normvec]; \[IndentingNewLine]Return[{Line[{p1, )",
    R"(                  p2}], Line[)",
    R"(                N[{p2 + size*len*normvec*Sin[alpha] - size*dvec*Cos[alpha], )",
    R"(                    p2, p2 - size*len*normvec*Sin[alpha] - )",
    R"(                      size*dvec*Cos[alpha]}]]}])\)]\)], "Input"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(\(Options[metricArrow3D] = {ViewVector \[Rule] {1.3, \(-2.4\), 2}, )",
    R"(          Angle \[Rule] Pi/12, Sizing \[Rule] Absolute, )", // 90
    R"(          RelativeSize \[Rule] 1/10, AbsoluteSize \[Rule] 0.5};\)\)], "Input"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(Options[Plot]\)], "Input"])",
    R"(}, Closed]])",
    R"(}, Open  ]],)", // "Open" padded to the width of "Closed": two blanks
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(ES1TDMs = {)", // open: the first element continues this line
};

// Trailer lines 1 and 2, before the state label.
constexpr std::array<std::string_view, 2> trailer_top = {
    R"(}\)], "Input"],)",
    R"()",
};

// Trailer lines 4 to 27, after the state label.
constexpr std::array<std::string_view, 24> trailer_bottom = {
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(ES1Plot = )",
    R"(      Show[Graphics3D[)",
    R"(          Map[metricArrow3D[#, AbsoluteSize \[Rule] 0.1] &, ES1TDMs]], )",
    R"(        Axes \[Rule] True, )",
    R"(        PlotRange \[Rule] {{\(-1.5\), 1.5}, {\(-1.5\), 1.5}, {\(-1.5\), )", // 10
    R"(              1.5}}]\)], "Input"],)",
    R"()",
    R"(Cell[BoxData[)",
    R"(    \(<< RealTime3D`\)], "Input"])",
    R"(},)",
    R"(FrontEndVersion->"4.1 for Microsoft Windows",)",
    R"(ScreenRectangle->{{0, 1600}, {0, 1117}},)",
    R"(CellGrouping->Manual,)",
    R"(WindowSize->{1103, 1029},)",
    R"(WindowMargins->{{23, Automatic}, {3, Automatic}})", // 20
    R"(])",
    R"()",
    R"()",
    R"()",
    R"((*******************************************************************)",
    R"(End of Mathematica Notebook file.)",
    R"(*******************************************************************))",
};

template <std::size_t n>
void append_lines(std::string& text, const std::array<std::string_view, n>& lines) {
    for (const std::string_view line : lines) {
        text += line;
        text += crlf;
    }
}

} // namespace

std::string notebook_head() {
    std::string text;
    for (std::size_t i = 0; i < head_lines.size(); ++i) {
        if (i > 0)
            text += crlf;
        text += head_lines[i];
    }
    return text;
}

namespace {

// The print form, with Mathematica's exponent mark: it reads "1.2E-05" as 1.2 times e - 5,
// but "1.2*^-05" as 1.2 x 10^-5.
std::string notebook_number(double value) {
    std::string text = print_form(value);
    if (const auto e = text.find('E'); e != std::string::npos)
        text.replace(e, 1, "*^");
    return text;
}

} // namespace

std::string notebook_element(double x, double y, double z, bool last) {
    // The print forms bring their own blanks: "{{0,0,0},{ 1.5 ,-2.25 , 3.5 }},".
    return "{{0,0,0},{" + notebook_number(x) + "," + notebook_number(y) + "," + notebook_number(z) +
           (last ? "}}" : "}},") + std::string(crlf);
}

std::string notebook_trailer(long long slot) {
    std::string text;
    append_lines(text, trailer_top);
    text += R"(Cell["State )" + count_text(slot) + R"(", "Subsection"],)";
    text += crlf;
    append_lines(text, trailer_bottom);
    return text;
}

void write_notebook_head(const std::filesystem::path& path) {
    write_whole_file(path, notebook_head());
}

void append_notebook_element(const std::filesystem::path& path, double x, double y, double z,
                             bool last) {
    append_file(path, notebook_element(x, y, z, last));
}

void append_notebook_trailer(const std::filesystem::path& path, long long slot) {
    append_file(path, notebook_trailer(slot));
}

} // namespace qm
