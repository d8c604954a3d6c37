// The rows of a server's table, written next to its dual interface:
//
//   DispMethod<&IBremFc::Open>(1, "Open", {{"sFileNm", VT_BSTR}}),
//   DispPropGet<&IBremFc::get_Brightness>(7, "Brightness", VT_I2),
//   DispPropPut<&IBremFc::put_Brightness>(7, "Brightness", VT_I2),
//
// Each row names the interface member that Invoke calls and declares what type information shows;
// the compiler refuses a row whose declared types do not fit the member's parameters. In the
// interface a declared type is: VT_I2 SHORT, VT_I4 or VT_INT LONG/INT, VT_BSTR BSTR, VT_x | VT_BYREF a
// pointer to x, VT_BUFFER a ComBuffer (or a handle, which travels as a bare address); a result (a get's
// value, a method's retval) is one more pointer parameter at the end.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/dispargs.h"
#include "platform/com/typeinfo.h"

namespace dispdetail {

template <class F> struct MemberTraits;
template <class I, class... A> struct MemberTraits<HRESULT (I::*)(A...)> {
    using Interface = I;
    using Args = std::tuple<A...>;
    static constexpr std::size_t arity = sizeof...(A);
};

template <class T> inline constexpr bool kIsInt32 = std::is_same_v<T, LONG> || std::is_same_v<T, INT>;
template <class T>
inline constexpr bool kIsHandle = std::is_pointer_v<T> && (std::is_class_v<std::remove_pointer_t<T>> ||
                                                           std::is_void_v<std::remove_pointer_t<T>>);

// Whether a C++ parameter of type T can carry a value declared as vt (as a result when retval).
template <class T> consteval bool Accepts(VARTYPE vt, bool retval) {
    if (retval) {
        if constexpr (std::is_same_v<T, SHORT*>)
            return vt == VT_I2;
        else if constexpr (std::is_same_v<T, LONG*> || std::is_same_v<T, INT*>)
            return vt == VT_I4 || vt == VT_INT;
        else if constexpr (std::is_same_v<T, BSTR*>)
            return vt == VT_BSTR;
        else
            return false;
    }
    if constexpr (std::is_same_v<T, SHORT>)
        return vt == VT_I2;
    else if constexpr (kIsInt32<T>)
        return vt == VT_I4 || vt == VT_INT;
    else if constexpr (std::is_same_v<T, BSTR>)
        return vt == VT_BSTR;
    else if constexpr (std::is_same_v<T, SHORT*>)
        return vt == (VT_I2 | VT_BYREF);
    else if constexpr (std::is_same_v<T, LONG*> || std::is_same_v<T, INT*>)
        return vt == (VT_I4 | VT_BYREF) || vt == (VT_INT | VT_BYREF);
    else if constexpr (std::is_same_v<T, ComBuffer> || kIsHandle<T>)
        return vt == VT_BUFFER;
    else
        return false;
}

template <class Args, std::size_t... N>
consteval bool AllAccepted(const ComFuncDesc& f, std::index_sequence<N...>) {
    return (Accepts<std::tuple_element_t<N, Args>>(N < f.paramCount ? f.params[N].vt : f.result,
                                                   N >= f.paramCount) &&
            ...);
}

// Takes the argument for one C++ parameter of type T, or provides the place of the result.
template <class T> class Arg {
public:
    Arg(const ComFuncDesc& f, const DispArgs& args, UINT index) : m_retval(index >= f.paramCount) {
        if (!m_retval)
            m_value = Take(f.params[index].vt, args, index);
    }
    Arg(Arg&& other) noexcept : m_value(other.m_value), m_retval(other.m_retval), m_result(other.m_result) {
        other.m_result = {};
    }
    Arg(const Arg&) = delete;
    Arg& operator=(const Arg&) = delete;
    Arg& operator=(Arg&&) = delete;
    ~Arg() {
        if constexpr (std::is_same_v<T, BSTR*>)
            SysFreeString(m_result);
    }

    T Get() {
        if constexpr (std::is_pointer_v<T> && !kIsHandle<T>)
            if (m_retval)
                return &m_result;
        return m_value;
    }

    void StoreResult(VARTYPE vt, VARIANT* result) {
        if constexpr (std::is_same_v<T, SHORT*>) {
            SetResultI2(result, m_result);
        } else if constexpr (std::is_same_v<T, LONG*> || std::is_same_v<T, INT*>) {
            vt == VT_INT ? SetResultInt(result, m_result) : SetResultI4(result, m_result);
        } else if constexpr (std::is_same_v<T, BSTR*>) {
            SetResultOwnedBstr(result, m_result);
            m_result = nullptr;
        }
    }

private:
    static T Take(VARTYPE vt, const DispArgs& args, UINT index) {
        if constexpr (std::is_same_v<T, SHORT>) {
            return args.I2(index);
        } else if constexpr (kIsInt32<T>) {
            return vt == VT_INT ? args.Int(index) : args.I4(index);
        } else if constexpr (std::is_same_v<T, BSTR>) {
            return args.Bstr(index);
        } else if constexpr (std::is_same_v<T, SHORT*>) {
            return args.RefI2(index);
        } else if constexpr (std::is_same_v<T, LONG*> || std::is_same_v<T, INT*>) {
            return vt == (VT_INT | VT_BYREF) ? args.RefInt(index) : args.RefI4(index);
        } else if constexpr (std::is_same_v<T, ComBuffer>) {
            ComBuffer buffer{};
            buffer.pvData = args.Buffer(index, &buffer.cbCapacity);
            return buffer;
        } else if constexpr (kIsHandle<T>) {
            return static_cast<T>(args.Buffer(index, nullptr));
        } else {
            return T{}; // a retval-only type
        }
    }

    using Result = std::conditional_t<std::is_pointer_v<T> && !kIsHandle<T>, std::remove_pointer_t<T>, int>;
    T m_value{};
    bool m_retval;
    Result m_result{};
};

template <auto Member, std::size_t... N>
HRESULT CallWith(IDispatch* self, const ComFuncDesc& f, const DispArgs& args, VARIANT* result,
                 std::index_sequence<N...>) {
    using Traits = MemberTraits<decltype(Member)>;
    using Interface = typename Traits::Interface;
    // Braced initialisation takes the arguments in order, so a bad one is reported by its own index.
    std::tuple<Arg<std::tuple_element_t<N, typename Traits::Args>>...> values{
        Arg<std::tuple_element_t<N, typename Traits::Args>>(f, args, static_cast<UINT>(N))...};
    const HRESULT hr = (static_cast<Interface*>(self)->*Member)(std::get<N>(values).Get()...);
    if constexpr (sizeof...(N) > 0)
        if (SUCCEEDED(hr) && f.result != VT_VOID)
            std::get<sizeof...(N) - 1>(values).StoreResult(f.result, result);
    return hr;
}

template <auto Member>
HRESULT Call(IDispatch* self, const ComFuncDesc& f, const DispArgs& args, VARIANT* result) {
    return CallWith<Member>(self, f, args, result,
                            std::make_index_sequence<MemberTraits<decltype(Member)>::arity>{});
}

template <auto Member>
consteval ComFuncDesc Row(DISPID id, WORD invkind, const char* name,
                          std::initializer_list<ComParamDesc> params, VARTYPE result) {
    using Traits = MemberTraits<decltype(Member)>;
    if (params.size() > kComMaxParams)
        throw "more parameters than a row holds";
    ComFuncDesc f{id, invkind, name, result, static_cast<UINT>(params.size()), {}, &Call<Member>};
    UINT i = 0;
    for (const ComParamDesc& p : params)
        f.params[i++] = p;
    if (Traits::arity != f.paramCount + (result != VT_VOID ? 1u : 0u))
        throw "the row's parameters and result do not match the member's parameters";
    if (!AllAccepted<typename Traits::Args>(f, std::make_index_sequence<Traits::arity>{}))
        throw "a declared type does not fit the member's parameter";
    return f;
}

} // namespace dispdetail

// A method; a retval type other than VT_VOID is the call's result (the member's last parameter).
template <auto Member>
consteval ComFuncDesc DispMethod(DISPID id, const char* name, std::initializer_list<ComParamDesc> params = {},
                                 VARTYPE retval = VT_VOID) {
    return dispdetail::Row<Member>(id, DISPATCH_METHOD, name, params, retval);
}

template <auto Member> consteval ComFuncDesc DispPropGet(DISPID id, const char* name, VARTYPE type) {
    return dispdetail::Row<Member>(id, DISPATCH_PROPERTYGET, name, {}, type);
}

template <auto Member> consteval ComFuncDesc DispPropPut(DISPID id, const char* name, VARTYPE type) {
    return dispdetail::Row<Member>(id, DISPATCH_PROPERTYPUT, name, {{"newVal", type}}, VT_VOID);
}

template <auto Member> consteval ComFuncDesc DispPropPutRef(DISPID id, const char* name, VARTYPE type) {
    return dispdetail::Row<Member>(id, DISPATCH_PROPERTYPUTREF, name, {{"newVal", type}}, VT_VOID);
}
