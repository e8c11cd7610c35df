import QtQuick 2.15
import QtTest 1.2
import Varnah 1.0
import Dorvik 1.0

TestCase {
    id: testCase
    name: "Varnah"

    Component {
        id: varnahComponent
        Varnah {}
    }

    property Varnah env: Varnah {}
    property Launcher launcher: Launcher {}

    function cleanup() {
        for (const name of ["VARNAH_A", "VARNAH_B", "VARNAH_EQ", "VARNAH_ÄÖÜ_名前"])
            env.unset(name)
    }

    function test_unsetReadsEmpty() {
        compare(env.value("VARNAH_NEVER_SET"), "")
    }

    function test_setReplaceUnset() {
        env.setValue("VARNAH_A", "1")
        compare(env.value("VARNAH_A"), "1")
        env.setValue("VARNAH_A", "two words")
        compare(env.value("VARNAH_A"), "two words")
        env.unset("VARNAH_A")
        compare(env.value("VARNAH_A"), "")
    }

    function test_roundTrip_data() {
        return [
            { tag: "non-ASCII value", name: "VARNAH_A", value: "grüße 日本 😀", stored: "VARNAH_A", read: "grüße 日本 😀" },
            { tag: "non-ASCII name", name: "VARNAH_ÄÖÜ_名前", value: "x", stored: "VARNAH_ÄÖÜ_名前", read: "x" },
            { tag: "NUL in value", name: "VARNAH_A", value: "before\u0000after", stored: "VARNAH_A", read: "before" },
            { tag: "NUL in name", name: "VARNAH_A\u0000VARNAH_B", value: "v", stored: "VARNAH_A", read: "v" },
            { tag: "empty value", name: "VARNAH_A", value: "", stored: "VARNAH_A", read: "" },
            { tag: "value with '='", name: "VARNAH_A", value: "k=v", stored: "VARNAH_A", read: "k=v" },
        ]
    }

    function test_roundTrip(data) {
        env.setValue(data.name, data.value)
        compare(env.value(data.stored), data.read)
        compare(env.value("VARNAH_B"), "")
    }

    function test_objectsShareTheEnvironment() {
        const first = createTemporaryObject(varnahComponent, testCase)
        const second = createTemporaryObject(varnahComponent, testCase)
        first.setValue("VARNAH_A", "shared")
        compare(second.value("VARNAH_A"), "shared")
        second.unset("VARNAH_A")
        compare(first.value("VARNAH_A"), "")
    }

    function test_invalidNames_data() {
        return [
            { tag: "name with '='", name: "VARNAH_EQ=B" },
            { tag: "name starting with '='", name: "=VARNAH_EQ" },
            { tag: "empty name", name: "" },
            { tag: "name that is only NUL", name: "\u0000VARNAH_EQ" },
        ]
    }

    // With VARNAH_EQ set to "B=c", the C library would find "c" for the name "VARNAH_EQ=B".
    function test_invalidNames(data) {
        env.setValue("VARNAH_EQ", "B=c")
        compare(env.value(data.name), "")
        env.setValue(data.name, "changed")
        compare(env.value(data.name), "")
        env.unset(data.name)
        compare(env.value("VARNAH_EQ"), "B=c")
        compare(env.value("VARNAH_EQ=B"), "")
    }

    // What a child sees of the whole environment is the same before and after a run of
    // calls with names and values that cannot be stored as they are.
    function test_oddContentChangesNothingElse() {
        const before = launcher.launch("env")
        verify(before.indexOf("HOME=") >= 0)
        const odd = ["", "=", "A=B", "=VARNAH_A", "\u0000", "VARNAH\u0000A", "VARNAH_LONE\uD800",
                     "VARNAH_LONE\uDC00X", "\uD83D", "VARNAH_BAD=\uDFFF"]
        for (const name of odd) {
            for (const value of ["", "v", "\uD800", "x\u0000y", "a=b"]) {
                env.setValue(name, value)
                env.value(name)
                env.unset(name)
            }
        }
        compare(launcher.launch("env"), before)
    }
}
