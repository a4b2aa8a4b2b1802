// Writing and reading REGISTRE.txt.  Reading trusts nothing: every count
// is checked against the lines there are, every table and column against
// the register's own.
#include "register_file.h"

namespace recutil {
namespace {

constexpr char kFirstLine[] = "QANTIRES REGISTER 1";
constexpr char kLastLine[] = "END";

std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool Unescaped(const std::string& field, std::string* value) {
  value->clear();
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      *value += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\':
        *value += '\\';
        break;
      case 't':
        *value += '\t';
        break;
      case 'n':
        *value += '\n';
        break;
      case 'r':
        *value += '\r';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::string Joined(const std::vector<std::string>& values) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += '\t';
    line += Escaped(values[i]);
  }
  return line + "\n";
}

// The file's lines without their LF; the last line must end with one.
bool Lines(const std::string& text, std::vector<std::string>* lines) {
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines->push_back(text.substr(start, end - start));
  }
  return start == text.size();
}

// A row count: digits only, no more than the lines left.
bool RowCount(const std::string& text, size_t left, size_t* rows) {
  if (text.empty() || text.size() > 9) return false;
  *rows = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    *rows = *rows * 10 + static_cast<size_t>(c - '0');
  }
  return *rows <= left;
}

}  // namespace

std::string RegisterText(const std::vector<ledger::Register::Table>& tables) {
  std::string text = std::string(kFirstLine) + "\n";
  for (const ledger::Register::Table& t : tables) {
    std::vector<std::string> header = {"TABLE", t.name, std::to_string(t.rows.size())};
    for (const auto& [name, columns] : ledger::RegisterTables()) {
      if (name == t.name) header.insert(header.end(), columns.begin(), columns.end());
    }
    text += Joined(header);
    for (const std::vector<std::string>& row : t.rows) text += Joined(row);
  }
  return text + kLastLine + "\n";
}

bool ParseRegisterText(const std::string& text, std::vector<ledger::Register::Table>* tables,
                       std::string* error) {
  tables->clear();
  std::vector<std::string> lines;
  if (!Lines(text, &lines) || lines.empty() || lines[0] != kFirstLine) {
    *error = "not a register file (its first line is not \"" + std::string(kFirstLine) + "\")";
    return false;
  }
  size_t at = 1;
  auto fail = [&](const std::string& what) {
    *error = "line " + std::to_string(at + 1) + ": " + what;
    return false;
  };
  for (const auto& [name, columns] : ledger::RegisterTables()) {
    if (at == lines.size()) return fail("the file ends before table " + name);
    std::vector<std::string> header = Fields(lines[at]);
    std::vector<std::string> expected = {"TABLE", name, header.size() > 2 ? header[2] : ""};
    expected.insert(expected.end(), columns.begin(), columns.end());
    size_t rows = 0;
    if (header != expected) return fail("expected the table " + name + " and its columns");
    if (!RowCount(header[2], lines.size() - at - 1, &rows)) {
      return fail("the row count of " + name + " is not the rows the file holds");
    }
    ledger::Register::Table& table = tables->emplace_back();
    table.name = name;
    for (size_t end = ++at + rows; at < end; ++at) {
      const std::vector<std::string> fields = Fields(lines[at]);
      if (fields.size() != columns.size()) return fail("a row of " + name + " with other columns");
      std::vector<std::string>& row = table.rows.emplace_back(fields.size());
      for (size_t i = 0; i < fields.size(); ++i) {
        if (!Unescaped(fields[i], &row[i])) return fail("a backslash that escapes nothing known");
      }
    }
  }
  if (at == lines.size() || lines[at] != kLastLine) return fail("expected END");
  if (++at != lines.size()) return fail("lines after END");
  return true;
}

}  // namespace recutil
