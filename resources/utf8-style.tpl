A page in UTF-8 with a small style sheet. Lines before the first marker are not used.
[ItemsHeader]
<!DOCTYPE html>
<html lang="cs">
<head>
<meta charset="utf-8">
<title>Zpětný seznam (databáze)</title>
<style>
body { font-family: sans-serif; margin: 2em; color: #222; }
h2 { border-bottom: 1px solid #888; padding-bottom: 0.2em; }
table { border-collapse: collapse; width: 100%; margin-bottom: 1.5em; }
th, td { border: 1px solid #ccc; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
th { background: #eee; }
td.size { text-align: right; white-space: nowrap; }
td.note { color: #666; }
</style>
</head>
<body>
<h1>Zpětný seznam (databáze)</h1>
[KategoryHead]
<h2>
$Kategory
</h2>
<table>
<tr><th>Plný název</th><th>Velikost</th><th>Archiv</th><th>Cesta</th><th>Poznámka</th><th>Popis</th></tr>
[Item]
<tr>
<td>
$Name
</td>
<td class="size">
$Size
</td>
<td>
$Archive
</td>
<td>
$Path
</td>
<td class="note">
$Notice
</td>
<td>
$Description
</td>
</tr>
[KategoryEnd]
</table>
[ItemsEnd]
</body>
</html>
