import QtQuick 2.15
import QtTest 1.2
import Quorvel 1.0

TestCase {
    id: testCase
    name: "Quorvel"

    Component {
        id: quorvelComponent
        Quorvel {
            property var messages: []
            onError: function(msg) { messages.push(msg) }
        }
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function makeFile(source) {
        return createTemporaryObject(quorvelComponent, testCase, { source: source })
    }

    function test_read_data() {
        return [
            { tag: "LF", bytes: "one\ntwo\n", text: "onetwo" },
            { tag: "CRLF then LF", bytes: "one\r\ntwo\n", text: "onetwo" },
            { tag: "no final terminator", bytes: "one\r\ntwo", text: "onetwo" },
            { tag: "blank line", bytes: "a\n\nb\n", text: "ab" },
            { tag: "only line breaks", bytes: "\n\r\n\n", text: "" },
            { tag: "lone CR kept", bytes: "a\rb\n", text: "a\rb" },
            { tag: "CR before CRLF kept", bytes: "a\r\r\nb", text: "a\rb" },
            { tag: "CR ending the data dropped", bytes: "a\r", text: "a" },
            { tag: "non-ASCII", bytes: "gr\xC3\xBC\xC3\x9F\n\xE6\x97\xA5\xE6\x9C\xAC\n", text: "grüß日本" },
            { tag: "UTF-8 BOM", bytes: "\xEF\xBB\xBFh\xC3\xA9\r\nx", text: "héx" },
            { tag: "UTF-16LE BOM", bytes: "\xFF\xFEa\x00\r\x00\n\x00\xE9\x00", text: "aé" },
            { tag: "UTF-16BE BOM", bytes: "\xFE\xFF\x00a\x00\n\x00\xE9", text: "aé" },
            { tag: "UTF-32LE BOM", bytes: "\xFF\xFE\x00\x00a\x00\x00\x00\n\x00\x00\x00b\x00\x00\x00", text: "ab" },
            { tag: "UTF-32BE BOM", bytes: "\x00\x00\xFE\xFF\x00\x00\x00a\x00\x00\x00\n\x00\x00\x00b", text: "ab" },
            { tag: "NUL byte kept", bytes: "a\x00b\n", text: "a\u0000b" },
            { tag: "empty file", bytes: "", text: "" },
            { tag: "one long line", bytes: "x".repeat(200000), text: "x".repeat(200000) },
        ]
    }

    function test_read(data) {
        verify(fixture.writeBytes("read.txt", data.bytes))
        const file = makeFile(fixture.path("read.txt"))
        compare(file.read(), data.text)
        compare(file.messages, [])
    }

    function test_readErrors_data() {
        return [
            { tag: "source empty", source: "", message: "source is empty" },
            { tag: "missing file", source: fixture.path("missing.txt"), message: "Unable to open the file" },
            { tag: "folder", source: fixture.dir, message: "Unable to open the file" },
            { tag: "file URL", source: "file://" + fixture.path("exists.txt"), message: "Unable to open the file" },
            { tag: "NUL in path", source: fixture.path("exists.txt") + "\u0000", message: "Unable to open the file" },
            { tag: "path longer than PATH_MAX", source: fixture.dir + "/d".repeat(2100) + "/exists.txt", message: "Unable to open the file" },
            { tag: "file where a folder is expected", source: fixture.path("exists.txt/inner.txt"), message: "Unable to open the file" },
            { tag: "read fails after open", source: "/proc/self/mem", message: "Unable to read the file" },
        ]
    }

    // The handler has run, once, by the time read() returns its empty string.
    function test_readErrors(data) {
        verify(fixture.writeBytes("exists.txt", "text"))
        const file = makeFile(data.source)
        compare(file.read(), "")
        compare(file.messages, [data.message])
    }

    function test_unsetSource() {
        const file = createTemporaryObject(quorvelComponent, testCase)
        compare(file.source, "")
        compare(file.read(), "")
        compare(file.messages, ["source is empty"])
        verify(!file.write("text"))
        compare(file.messages, ["source is empty"])
    }

    function test_writeErrors_data() {
        return [
            { tag: "source empty", source: "" },
            { tag: "missing folder", source: fixture.path("missing-folder/new.txt") },
            { tag: "folder", source: fixture.dir },
            { tag: "NUL in path", source: fixture.path("nul.txt") + "\u0000" },
            { tag: "path longer than PATH_MAX", source: fixture.dir + "/d".repeat(2100) + "/new.txt" },
            { tag: "file where a folder is expected", source: fixture.path("exists.txt/new.txt") },
        ]
    }

    function test_writeErrors(data) {
        const before = fixture.entries()
        const file = makeFile(data.source)
        verify(!file.write("text"))
        compare(file.messages, [])
        compare(fixture.entries(), before)
    }

    function test_writeReadBack_data() {
        return [
            { tag: "lines", text: "a\nb\r\nc", bytes: "a\nb\r\nc", back: "abc" },
            { tag: "empty", text: "", bytes: "", back: "" },
            { tag: "lone CR", text: "a\rb", bytes: "a\rb", back: "a\rb" },
            { tag: "non-ASCII", text: "grüß 日本\n", bytes: "gr\xC3\xBC\xC3\x9F \xE6\x97\xA5\xE6\x9C\xAC\n", back: "grüß 日本" },
        ]
    }

    // Both into a new file and over a longer existing one: exactly the encoded text,
    // no byte order mark, no line break translation, no leftovers.
    function test_writeReadBack(data) {
        fixture.remove("new.txt")
        verify(fixture.writeBytes("existing.txt", "an older and longer content\n"))
        const before = fixture.entries()
        for (const name of ["new.txt", "existing.txt"]) {
            const file = makeFile(fixture.path(name))
            verify(file.write(data.text))
            compare(fixture.readBytes(name), data.bytes)
            compare(file.read(), data.back)
            compare(file.messages, [])
        }
        compare(fixture.entries().sort(), before.concat(["new.txt"]).sort())
    }

    function test_fileRemovedBetweenCalls() {
        const file = makeFile(fixture.path("removed.txt"))
        verify(file.write("before"))
        verify(fixture.remove("removed.txt"))
        compare(file.read(), "")
        compare(file.messages, ["Unable to open the file"])
        verify(file.write("again"))
        compare(file.read(), "again")
    }

    function test_relativePath() {
        verify(fixture.enter())
        const file = makeFile("relative.txt")
        verify(file.write("from the working directory"))
        compare(fixture.readBytes("relative.txt"), "from the working directory")
        compare(makeFile("./relative.txt").read(), "from the working directory")
    }

    function test_source() {
        const file = createTemporaryObject(quorvelComponent, testCase)
        const spy = createTemporaryObject(spyComponent, testCase,
                                          { target: file, signalName: "sourceChanged" })
        file.source = "a.txt"
        compare(spy.count, 1)
        compare(spy.signalArguments[0][0], "a.txt")
        compare(file.source, "a.txt")
        file.source = "a.txt"
        compare(spy.count, 1)
        file.setSource("b.txt")
        compare(spy.count, 2)
        compare(spy.signalArguments[1][0], "b.txt")
        compare(file.source, "b.txt")
    }
}
