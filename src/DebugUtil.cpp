// CDebugUtil: titled fixed-width dumps of matrices, valarrays and vectors.
//
// Each line is composed in a buffer and written with one fwrite. Numbers are
// formatted with std::to_chars, which for these formats gives the same text
// as printf ("%.8g" for doubles, "%d" for integers), padded to the field
// width by hand.

#include "DebugUtil.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "TracePoint.h"

namespace {

constexpr const char* kSourceTag = "../DebugUtil";

// Row labels and column numbers of the matrix dumps.
constexpr std::size_t kLabelWidth = 4;     // "%4d) "
constexpr std::size_t kColumnWidth = 16;   // "%16d "
constexpr std::size_t kPositionWidth = 3;  // "%3d) " of the one-dimensional dumps
constexpr std::size_t kValuesPerLine = 5;  // of the one-dimensional dumps
constexpr const char* kIndent = "      ";  // as wide as a row label
constexpr const char* kHyphens = "---------------- ";

// Field width and trailing blanks of one value.
struct ValueFormat {
    std::size_t width;
    std::size_t blanks;
};

// Values as "%16.8g " in the double matrix dump, "%16.8g  " elsewhere, and
// integers as "%10d  " everywhere.
ValueFormat FormatOf(double, bool inMatrix) {
    return {16, inMatrix ? 1U : 2U};
}
ValueFormat FormatOf(int, bool) {
    return {10, 2};
}

std::to_chars_result ToChars(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::general, 8);
}

template <class T>
std::to_chars_result ToChars(char* first, char* last, T value) {
    return std::to_chars(first, last, value);
}

// One line of output, written to the stream in one piece.
class LineBuffer {
public:
    explicit LineBuffer(FILE* stream) : m_stream(stream), m_buffer(256) {}

    void Text(const char* text) {
        const std::size_t length = std::strlen(text);
        std::memcpy(Room(length), text, length);
        m_used += length;
    }

    // The value right-aligned in `width` characters (a wider value takes the
    // room it needs), then `blanks` blanks: what "%<width>d" or "%<width>.8g"
    // followed by the blanks prints.
    template <class T>
    void Field(T value, std::size_t width, std::size_t blanks) {
        char text[32];  // "-2.2250739e-308" and "-2147483648" need far less
        const std::size_t length = ToChars(text, text + sizeof text, value).ptr - text;
        const std::size_t pad = length < width ? width - length : 0;
        char* out = Room(pad + length + blanks);
        std::memset(out, ' ', pad);
        std::memcpy(out + pad, text, length);
        std::memset(out + pad + length, ' ', blanks);
        m_used += pad + length + blanks;
    }

    // Ends the line with a line feed and writes it.
    void Write() {
        *Room(1) = '\n';
        fwrite(m_buffer.data(), 1, m_used + 1, m_stream);
        m_used = 0;
    }

private:
    // Where the next `length` characters go, the buffer grown to hold them.
    char* Room(std::size_t length) {
        if (m_used + length > m_buffer.size()) {
            m_buffer.resize(2 * (m_used + length));
        }
        return m_buffer.data() + m_used;
    }

    FILE* m_stream;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

// "\n<title>\n". A null title prints as the C library's printf prints it.
void WriteTitle(LineBuffer& line, const char* title) {
    line.Write();
    line.Text(title != nullptr ? title : "(null)");
    line.Write();
}

// A count of 0 stands for the whole dimension; a negative one for none; a
// larger one is cut to the dimension, so nothing outside the store is read.
unsigned Clamp(int count, unsigned dimension) {
    if (count == 0) {
        return dimension;
    }
    return count < 0 ? 0U : std::min(static_cast<unsigned>(count), dimension);
}

template <class T>
void DumpMatrix(const char* title, FILE* stream, CMatrix<T>& m, int rows, int cols) {
    const unsigned rowsShown = Clamp(rows, m.Rows());
    const unsigned colsShown = Clamp(cols, m.Cols());
    const ValueFormat format = FormatOf(T(), true);
    LineBuffer line(stream);
    WriteTitle(line, title);

    // The header covers every column of the matrix, however many are shown.
    line.Text(kIndent);
    for (unsigned c = 0; c < m.Cols(); ++c) {
        line.Field(c, kColumnWidth, 1);
    }
    line.Write();
    line.Text(kIndent);
    for (unsigned c = 0; c < m.Cols(); ++c) {
        line.Text(kHyphens);
    }
    line.Write();

    for (unsigned r = 0; r < rowsShown; ++r) {
        line.Field(r, kLabelWidth, 0);
        line.Text(") ");
        const CMatrixRow<T> row = m.row(r);
        for (unsigned c = 0; c < colsShown; ++c) {
            line.Field(row[c], format.width, format.blanks);
        }
        line.Write();
    }
    fflush(nullptr);
}

// Five values to a line, each line labelled with the 1-based position of its
// first value.
template <class T>
void DumpValues(const char* title, FILE* stream, const T* values, std::size_t count) {
    const ValueFormat format = FormatOf(T(), false);
    LineBuffer line(stream);
    WriteTitle(line, title);
    for (std::size_t i = 0; i < count; i += kValuesPerLine) {
        line.Field(i + 1, kPositionWidth, 0);
        line.Text(") ");
        const std::size_t end = std::min(i + kValuesPerLine, count);
        for (std::size_t k = i; k < end; ++k) {
            line.Field(values[k], format.width, format.blanks);
        }
        line.Write();
    }
    fflush(nullptr);
}

// The elements of a valarray; &v[0] is not valid for an empty one.
template <class T>
const T* DataOf(std::valarray<T>& v) {
    return v.size() == 0 ? nullptr : &v[0];
}

}  // namespace

void CDebugUtil::DumpDoubleMatrix(char* pszTitle, FILE* fp, CMatrix<double>& m, int nRows,
                                  int nCols) {
    KOLV_TRACE_BEGIN
    DumpMatrix(pszTitle, fp, m, nRows, nCols);
    KOLV_TRACE_END(kSourceTag)
}

void CDebugUtil::DumpIntegerMatrix(char* pszTitle, FILE* fp, CMatrix<int>& m, int nRows,
                                   int nCols) {
    KOLV_TRACE_BEGIN
    DumpMatrix(pszTitle, fp, m, nRows, nCols);
    KOLV_TRACE_END(kSourceTag)
}

void CDebugUtil::DumpDoubleArray(char* pszTitle, FILE* fp, std::valarray<double>& v) {
    KOLV_TRACE_BEGIN
    DumpValues(pszTitle, fp, DataOf(v), v.size());
    KOLV_TRACE_END(kSourceTag)
}

void CDebugUtil::DumpIntegerArray(char* pszTitle, FILE* fp, std::valarray<int>& v) {
    KOLV_TRACE_BEGIN
    DumpValues(pszTitle, fp, DataOf(v), v.size());
    KOLV_TRACE_END(kSourceTag)
}

void CDebugUtil::DumpDoubleVector(char* pszTitle, FILE* fp, std::vector<double>& v) {
    KOLV_TRACE_BEGIN
    DumpValues(pszTitle, fp, v.data(), v.size());
    KOLV_TRACE_END(kSourceTag)
}

void CDebugUtil::DumpIntegerVector(char* pszTitle, FILE* fp, std::vector<int>& v) {
    KOLV_TRACE_BEGIN
    DumpValues(pszTitle, fp, v.data(), v.size());
    KOLV_TRACE_END(kSourceTag)
}
