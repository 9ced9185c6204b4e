#include "python/api_template.h"

#include <array>
#include <new>
#include <optional>
#include <string>

#include "parse/template.h"
#include "reading/raw_records.h"
#include "python/arguments.h"
#include "python/errors.h"
#include "python/json_object.h"
#include "python/py_ref.h"
#include "python/released_lock.h"
#include "python/text.h"

namespace ov::py {
namespace {

struct TemplateObject {
  PyObject_HEAD std::optional<parse::Template> compiled;
};

PyObject* type_object = nullptr;

const parse::Template& template_of(PyObject* self) {
  return *reinterpret_cast<TemplateObject*>(self)->compiled;
}

constexpr std::array<std::string_view, 1> kNewParams{"text"};
constexpr CallableSpec kNewSpec{"", "Template", kNewParams, 1};

PyObject* template_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kNewParams.size()> bound{};
    if (!bind_arguments(kNewSpec, args, kwargs, bound)) return nullptr;
    std::string text;
    if (!convert_argument("text", [&] { return to_text(bound[0], text); })) return nullptr;
    auto compiled = parse::Template::compile(text);
    if (!compiled) return raise(PyExc_ValueError, compiled.error().message());
    auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    PyObject* self = alloc(type, 0);
    if (self == nullptr) return fail();
    new (&reinterpret_cast<TemplateObject*>(self)->compiled)
        std::optional<parse::Template>(std::move(*compiled));
    return self;
  });
}

void template_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  reinterpret_cast<TemplateObject*>(self)->compiled.~optional();
  auto free_slot = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_slot(self);
  Py_DECREF(type);
}

PyObject* header(PyObject* self, void*) {
  return guarded([&]() -> PyObject* { return text_list(template_of(self).header()); });
}

constexpr std::array<std::string_view, 1> kParseParams{"output"};
constexpr CallableSpec kParseSpec{"Template", "parse", kParseParams, 1};

PyObject* parse_output(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kParseParams.size()> bound{};
    if (!bind_arguments(kParseSpec, args, kwargs, bound)) return nullptr;
    std::string output;
    if (!convert_argument("output", [&] { return to_text(bound[0], output); })) return nullptr;
    const parse::Template& compiled = template_of(self);
    std::optional<std::expected<parse::ParseResult, parse::ParseError>> result;
    {
      ReleasedLock unlocked;
      result = compiled.parse(output);
    }
    if (!*result) return raise(PyExc_ValueError, (*result).error().message());
    return from_json(reading::raw_records_json(compiled.header(), (**result).records));
  });
}

PyMethodDef methods[] = {
    {"parse",
     as_c_function(parse_output),
     METH_VARARGS | METH_KEYWORDS,
     "parse($self, output)\n--\n\n"
     "The records of `output`, one dict per record keyed by the Value names in\n"
     "their order, as python3-textfsm's ParseTextToDicts gives them. An Error\n"
     "rule, or a pattern that would run without end, raises ValueError. The\n"
     "interpreter lock is released while it parses."},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef getset[] = {
    {"header", header, nullptr, "The Value names, in the template's order.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PyObject* template_type() {
  if (type_object != nullptr) return type_object;
  PyType_Slot slots[] = {
      {Py_tp_new, reinterpret_cast<void*>(template_new)},
      {Py_tp_dealloc, reinterpret_cast<void*>(template_dealloc)},
      {Py_tp_methods, methods},
      {Py_tp_getset, getset},
      {Py_tp_doc, const_cast<char*>(
                      "Template(text)\n--\n\n"
                      "A TextFSM template, compiled once. A template that does not read\n"
                      "raises ValueError naming its line.")},
      {0, nullptr},
  };
  PyType_Spec type_spec = {"orvane_vantrel._api.Template", static_cast<int>(sizeof(TemplateObject)), 0,
                      Py_TPFLAGS_DEFAULT, slots};
  type_object = PyType_FromSpec(&type_spec);  // kept for the process
  return type_object;
}

}  // namespace ov::py
