/// @file
/// @brief The least of the application's matrix that the debug dumps use.
///
/// CMatrix<T> owns its elements, stored column by column: element (r, c) is
/// at index r + c * Rows(). row(r) is a strided view of row r. Copying a
/// matrix copies its elements. Neither element access nor row() checks its
/// indices. Everything here is inline; nothing is traced.

#ifndef MATRIX_H
#define MATRIX_H

#include <valarray>

/// A row of a CMatrix: a strided view of the matrix's store, which it does
/// not own.
template <class T>
class CMatrixRow {
public:
    /// A view of nSize elements of *pStore, from nStart, nStride apart.
    CMatrixRow(std::valarray<T>* pStore, unsigned nStart, unsigned nSize, unsigned nStride)
        : m_pStore(pStore), m_nStart(nStart), m_nSize(nSize), m_nStride(nStride) {}

    /// Element c of the row: the store's element at start + c * stride;
    /// not checked.
    T& operator[](unsigned nCol) const { return (*m_pStore)[m_nStart + nCol * m_nStride]; }

    /// The number of elements of the row (the matrix's number of columns).
    unsigned size() const { return m_nSize; }

private:
    std::valarray<T>* m_pStore;
    unsigned m_nStart;
    unsigned m_nSize;
    unsigned m_nStride;
};

/// A dense matrix of T, stored column by column; it owns its elements.
template <class T>
class CMatrix {
public:
    /// A nRows x nCols matrix, every element T().
    CMatrix(unsigned nRows, unsigned nCols)
        : m_store(T(), static_cast<std::size_t>(nRows) * nCols), m_nCols(nCols), m_nRows(nRows) {}

    /// The element in row nRow and column nCol, at index nRow + nCol *
    /// Rows() of the store; not checked.
    T& operator()(unsigned nRow, unsigned nCol) {
        return m_store[nRow + static_cast<std::size_t>(nCol) * m_nRows];
    }

    /// The number of rows.
    unsigned Rows() const { return m_nRows; }
    /// The number of columns.
    unsigned Cols() const { return m_nCols; }

    /// A view of row nRow; valid while the matrix lives. nRow is not checked.
    CMatrixRow<T> row(unsigned nRow) { return CMatrixRow<T>(&m_store, nRow, m_nCols, m_nRows); }

private:
    std::valarray<T> m_store;
    unsigned m_nCols;
    unsigned m_nRows;
};

#endif  // MATRIX_H
